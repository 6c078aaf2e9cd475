#include "ui/face/face_layout.h"

#include "ui/face/face_paint.h"

#include <QFontMetricsF>

#include <algorithm>
#include <map>

namespace tw {

FaceLayout FaceLayout::make(QSizeF size, KeyboardLayout layout) {
    FaceLayout f;
    const bool landscape = layout == KeyboardLayout::landscape;
    const double W = size.width();
    const double H = size.height();
    f.layout = layout;
    f.width = W;
    f.height = H;
    f.m = 0.035 * std::min(W, H);
    f.top = (landscape ? 0.3 : 0.235) * H;
    const double m = f.m;
    const double T = f.top;
    f.keyArea = QRectF(1.4 * m, T + 0.8 * m, W - 2.8 * m, H - T - 2 * m);
    f.columns = landscape ? 10 : 5;
    f.rows = landscape ? 4 : 8;
    f.columnPitch = f.keyArea.width() / f.columns;
    f.rowPitch = f.keyArea.height() / f.rows;
    f.unit = 0.64 * f.rowPitch;

    double lcdX, lcdW, lcdH;
    if (landscape) {
        lcdX = 0.14 * W;
        lcdW = 0.52 * W;
        lcdH = 0.48 * T;
    } else {
        lcdX = 2 * m;
        lcdW = W - 4 * m;
        lcdH = std::min(0.22 * lcdW, 0.48 * T);
    }
    double lcdY = 0.3 * m + (T - lcdH) / 2;
    f.band = f.keyArea.adjusted(-0.45 * m, -0.35 * m, 0.45 * m, 0.35 * m);
    f.bandLineWidth = std::max(0.22 * m, 2.0);
    if (!landscape) {
        // The name block sits under the display and must end above the band's line:
        // the display moves up, then gets lower, until it does (room for the TURBO
        // badge is kept, so that the display does not move when the badge comes).
        const double lowest = f.band.top() - f.bandLineWidth / 2 - 0.25 * m - f.nameBlockHeight() - 0.9 * m;
        if (lcdY + lcdH > lowest) lcdY = std::max(m, lowest - lcdH);
        if (lcdY + lcdH > lowest) lcdH = std::max(lowest - lcdY, 0.2 * lcdH);
    }
    f.lcd = QRectF(lcdX, lcdY, lcdW, lcdH);
    f.bezel = f.lcd.adjusted(-0.8 * m, -0.7 * m, 0.8 * m, 0.7 * m);
    if (landscape)
        f.nameBlock = QRectF(0.73 * W, f.lcd.y(), 0.22 * W, 0);
    else
        f.nameBlock = QRectF(0.5 * W - 2 * m, f.lcd.bottom() + 0.9 * m, 0.5 * W, 0);
    return f;
}

FaceLayout::Cell FaceLayout::cell(int code) const {
    Cell c{code / 10, code % 10};
    if (layout == KeyboardLayout::portrait && c.column >= 5) {
        c.row += 4;
        c.column -= 5;
    }
    return c;
}

QRectF FaceLayout::stripRect(int code) const {
    const Cell c = cell(code);
    return QRectF(keyArea.x() + c.column * columnPitch, keyArea.y() + c.row * rowPitch, columnPitch,
                  0.27 * rowPitch);
}

QRectF FaceLayout::capRect(const KeySpec& key) const {
    const Cell c = cell(key.code);
    const double capHeight = 0.64 * rowPitch + (key.style == KeyStyle::enter ? rowPitch : 0.0);
    return QRectF(keyArea.x() + c.column * columnPitch + 0.1 * columnPitch,
                  keyArea.y() + c.row * rowPitch + 0.27 * rowPitch, 0.8 * columnPitch, capHeight);
}

double FaceLayout::legendFontSize() const { return std::max(0.135 * rowPitch, 6.0); }

double FaceLayout::nameFontSize() const {
    return std::max(top * (layout == KeyboardLayout::landscape ? 0.2 : 0.13), 10.0);
}

double FaceLayout::subtitleFontSize() const {
    return std::max(top * (layout == KeyboardLayout::landscape ? 0.075 : 0.05), 7.0);
}

double FaceLayout::turboFontSize() const { return std::max(top * 0.07, 7.0); }

double FaceLayout::nameBlockHeight() const {
    const QFontMetricsF name(faceFont(nameFontSize(), QFont::Bold));
    const QFontMetricsF subtitle(faceFont(subtitleFontSize(), QFont::DemiBold));
    const QFontMetricsF turbo(faceFont(turboFontSize(), QFont::Black));
    return name.height() + 2 + subtitle.height() + 2 + turbo.height();
}

std::vector<FaceLayout::Segment> FaceLayout::bracketSegments(const CalculatorModel& model) const {
    std::vector<Segment> segments;
    const double h = 0.27 * rowPitch;
    for (const LegendBracket& bracket : model.brackets) {
        std::map<int, std::vector<QRectF>> stripsByRow; // ascending rows
        for (const KeySpec& key : model.keys)
            if (key.code >= bracket.fromCode && key.code <= bracket.toCode)
                stripsByRow[cell(key.code).row].push_back(stripRect(key.code));
        for (const auto& [row, strips] : stripsByRow) {
            double minX = strips.front().left();
            double maxX = strips.front().right();
            for (const QRectF& s : strips) {
                minX = std::min(minX, s.left());
                maxX = std::max(maxX, s.right());
            }
            const double y0 = strips.front().top();
            segments.push_back({bracket.label, QRectF(minX + 0.12 * columnPitch, y0 + 0.22 * h,
                                                      maxX - minX - 0.24 * columnPitch, 0.4 * h)});
        }
    }
    return segments;
}

bool FaceLayout::isBracketed(const CalculatorModel& model, int code) {
    return std::any_of(model.brackets.begin(), model.brackets.end(),
                       [code](const LegendBracket& b) { return code >= b.fromCode && code <= b.toCode; });
}

} // namespace tw
