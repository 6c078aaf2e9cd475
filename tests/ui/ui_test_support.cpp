#include "ui_test_support.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace tw::test {

void ensureApplication() {
    // Made by the tests' main; a test that runs without it fails here plainly.
    if (!QCoreApplication::instance()) std::abort();
}

QImage render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

int colorDistance(const QColor& a, const QColor& b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

namespace {

class SwallowLeave : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Leave; }
};

} // namespace

QMenu* openContextMenuAsOnX11(QWidget& widget, QPoint p) {
    SwallowLeave filter;
    widget.installEventFilter(&filter);
    QContextMenuEvent event(QContextMenuEvent::Mouse, p, widget.mapToGlobal(p));
    QCoreApplication::sendEvent(&widget, &event);
    widget.removeEventFilter(&filter);
    const QList<QMenu*> menus = widget.findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
    return menus.isEmpty() ? nullptr : menus.back();
}

} // namespace tw::test

#include "core/wrapper/lcd_state.h"
#include "runtime/catalog/calculator_model.h"
#include "runtime/face/photo_face.h"
#include "ui/face/face_images.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

namespace tw::test {

QImage drawTestPhoto(const PhotoFace& face, const CalculatorModel& model, int width) {
    const int height = static_cast<int>(width / face.aspectRatio());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(38, 36, 34));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const auto scaled = [&](const Rect& r) {
        return QRectF(r.x * width, r.y * height, r.width * width, r.height * height);
    };
    // The upper body is lighter, as on the calculators.
    p.fillRect(QRectF(0, 0, width, scaled(face.lcd).bottom() + 0.04 * height), QColor(150, 140, 120));
    p.fillRect(scaled(face.lcd), QColor(160, 168, 146));
    for (const KeySpec& key : model.keys) {
        const auto rect = face.keyRect(key.code);
        if (!rect) continue;
        const QRectF cap = scaled(*rect);
        // Legends are sized by an ordinary key, also on the tall ENTER key.
        const double unit = face.keyRect(24) ? scaled(*face.keyRect(24)).height() : cap.height();
        p.setPen(Qt::NoPen);
        p.setBrush(key.style == KeyStyle::fShift ? QColor(220, 150, 50)
                   : key.style == KeyStyle::gShift ? QColor(80, 150, 220) : QColor(60, 58, 56));
        p.drawRoundedRect(cap, cap.width() * 0.08, cap.width() * 0.08);
        p.setPen(Qt::white);
        QFont font;
        font.setPixelSize(std::max(6, static_cast<int>(unit * 0.3)));
        p.setFont(font);
        p.drawText(cap.adjusted(0, 0, 0, -unit * 0.3), Qt::AlignCenter, QString::fromStdString(key.face));
        font.setPixelSize(std::max(5, static_cast<int>(unit * 0.18)));
        p.setFont(font);
        p.setPen(QColor(120, 180, 240));
        p.drawText(QRectF(cap.x(), cap.bottom() - unit * 0.3, cap.width(), unit * 0.3),
                   Qt::AlignCenter, QString::fromStdString(key.g));
        p.setPen(QColor(230, 170, 60));
        p.drawText(QRectF(cap.x() - cap.width() * 0.2, cap.y() - unit * 0.32, cap.width() * 1.4, unit * 0.3),
                   Qt::AlignCenter, QString::fromStdString(key.f));
    }
    return image;
}

QString useScratchDataFolder() {
    static QTemporaryDir scratch;
    static int count = 0;
    const QString root = scratch.filePath(QString::number(++count));
    QDir().mkpath(root);
    qputenv("XDG_DATA_HOME", root.toUtf8());
    qputenv("XDG_DATA_DIRS", root.toUtf8() + "/none");
    const QString faces = QDir(FaceImages::searchFolders().front()).filePath(QStringLiteral("Faces"));
    QDir().mkpath(faces);
    return faces;
}

LCDState everythingLit() {
    LCDState lcd;
    lcd.segments.fill(0x7F);
    lcd.dots.fill(true);
    lcd.commas[0] = true;
    lcd.dots[0] = false;
    lcd.minus = true;
    lcd.annunciatorBits = ~uint64_t{0};
    lcd.text = "-8,8.8.8.8.8.8.8.8.8.";
    return lcd;
}

} // namespace tw::test
