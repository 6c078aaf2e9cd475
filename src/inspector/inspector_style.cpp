#include "inspector/inspector_style.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace tw {

namespace {

// Qt points at the 96 dpi reference: one logical pixel is 0.75 points.
constexpr double kPointsPerPixel = 0.75;

} // namespace

const QColor& inspectorAmber() {
    static const QColor colour(227, 163, 59);
    return colour;
}

const QColor& inspectorGreen() {
    static const QColor colour(76, 191, 107);
    return colour;
}

const QColor& inspectorBlue() {
    static const QColor colour(90, 169, 230);
    return colour;
}

const QColor& inspectorYellow() {
    static const QColor colour(242, 193, 78);
    return colour;
}

const QColor& inspectorComplex() {
    static const QColor colour(224, 122, 95);
    return colour;
}

bool isDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::Window).lightness() < 128;
}

QColor primaryText(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::WindowText);
}

QColor secondaryText(const QPalette& palette) {
    QColor c = primaryText(palette);
    c.setAlphaF(0.6f);
    return c;
}

void setSecondaryText(QWidget& widget, const QPalette& owner) {
    QPalette p = widget.palette();
    p.setColor(QPalette::WindowText, secondaryText(owner));
    widget.setPalette(p);
}

QColor tertiaryText(const QPalette& palette) {
    QColor c = primaryText(palette);
    c.setAlphaF(0.38f);
    return c;
}

QFont inspectorFont(double pixels, QFont::Weight weight, bool monospaced) {
    QFont font = monospaced ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                            : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(pixels * kPointsPerPixel);
    font.setWeight(weight);
    return font;
}

QFont monospacedFont(const QFont& font) {
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(font.pointSizeF() > 0 ? font.pointSizeF() : 9.0);
    mono.setWeight(font.weight());
    return mono;
}

QFont shrunkToFit(const QFont& font, const QString& text, int room, double minScale) {
    const double full = font.pointSizeF();
    QFont fitted = font;
    double scale = 1.0;
    int width = QFontMetrics(fitted).horizontalAdvance(text);
    // Widths do not scale exactly with the size: step down until it fits.
    while (width > room && width > 0 && scale > minScale) {
        scale = std::max(minScale, std::min(scale - 0.02, scale * double(room) / double(width)));
        fitted.setPointSizeF(full * scale);
        width = QFontMetrics(fitted).horizontalAdvance(text);
    }
    return fitted;
}

QColor poolColor(const Pool15::Kind& kind, const QPalette& palette) {
    using Case = Pool15::Kind::Case;
    switch (kind.kind) {
    case Case::matrix: {
        static const QColor ramp[5] = {{227, 163, 59}, {212, 176, 76}, {185, 185, 87},
                                       {157, 191, 98}, {127, 191, 115}};
        // Indices outside A to E take the nearest end of the ramp.
        return ramp[kind.matrix < 0 ? 0 : (kind.matrix > 4 ? 4 : kind.matrix)];
    }
    case Case::workspace: return QColor(199, 125, 204);
    case Case::free: {
        QColor c = primaryText(palette);
        c.setAlphaF(0.18f);
        return c;
    }
    case Case::complex: return inspectorComplex();
    case Case::storage: return inspectorBlue();
    case Case::program: return inspectorGreen();
    }
    return inspectorBlue();
}

QColor currentRowBackground(bool dark, bool running) {
    if (dark) return running ? QColor(58, 125, 74) : QColor(46, 94, 58);
    return running ? QColor(180, 229, 180) : QColor(211, 241, 211);
}

QColor prefixColor(const QString& prefix, bool current, bool dark) {
    const bool f = prefix == QLatin1String("f");
    if (!current) return f ? inspectorAmber() : inspectorBlue();
    if (dark) return f ? QColor(242, 192, 96) : QColor(140, 200, 245);
    return f ? QColor(154, 98, 10) : QColor(28, 99, 158);
}

} // namespace tw
