// Pictures of the faces for people to look at, under <build>/screenshots/face/.
#include "ui/ui_test_support.h"

#include "core/wrapper/lcd_state.h"
#include "runtime/catalog/calculator_model.h"
#include "runtime/face/photo_face.h"
#include "ui/face/calculator_face.h"
#include "ui/face/calculator_view.h"
#include "ui/face/key_view.h"
#include "ui/face/lcd_view.h"
#include "ui/face/photo_calculator_face.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

namespace tw {
namespace {

QString outputFolder() {
    const QByteArray binary = qgetenv("TW_BINARY_DIR");
    const QString root = binary.isEmpty() ? QDir::currentPath() : QString::fromUtf8(binary);
    const QString folder = QDir(root).filePath(QStringLiteral("screenshots/face"));
    QDir().mkpath(folder);
    return folder;
}

void save(QWidget& widget, const QString& name) {
    widget.show();
    QCoreApplication::processEvents();
    const QPixmap pixmap = widget.grab();
    const QString path = QDir(outputFolder()).filePath(name + QStringLiteral(".png"));
    ASSERT_TRUE(pixmap.save(path)) << path.toStdString();
}

LCDState showing(const char* text, std::array<uint8_t, 10> segments) {
    LCDState lcd;
    lcd.segments = segments;
    lcd.text = text;
    return lcd;
}

// " 3.1415926 5"-ish readings are not needed: a plain number shows the digit shapes.
LCDState numberDisplay() {
    // 0 1 2 3 4 5 6 7 8 9 as segment bytes (a = bit 0 ... g = bit 6).
    const std::array<uint8_t, 10> digits = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    LCDState lcd = showing("1234567890", {digits[1], digits[2], digits[3], digits[4], digits[5], digits[6],
                                          digits[7], digits[8], digits[9], digits[0]});
    lcd.dots[0] = true;
    lcd.commas[3] = true;
    lcd.minus = true;
    return lcd;
}

class Screenshots : public ::testing::Test {
protected:
    void SetUp() override { test::ensureApplication(); }
};

TEST_F(Screenshots, DrawnFacesOfEveryModelInBothLayouts) {
    for (const CalculatorModel* model : CalculatorModel::all()) {
        for (const bool portrait : {false, true}) {
            CalculatorView view;
            view.setModel(*model);
            view.setLCD(numberDisplay());
            view.resize(portrait ? QSize(430, 820) : QSize(1000, 620));
            const QString name = QStringLiteral("drawn_%1c_%2")
                                     .arg(model->id)
                                     .arg(portrait ? QStringLiteral("portrait") : QStringLiteral("landscape"));
            save(view, name);
        }
    }
}

// The tall layout in a nearly square window, where the name block is closest to the
// keyboard band, with the TURBO badge; and the last digit's point on small faces.
TEST_F(Screenshots, DrawnTallFacesNearlySquareAndSmallFacesWithTheLastPoint) {
    for (const CalculatorModel* model : CalculatorModel::all()) {
        CalculatorView view;
        view.setModel(*model);
        view.setLCD(numberDisplay());
        view.setTurbo(true);
        view.resize(600, 620);
        save(view, QStringLiteral("drawn_%1c_portrait_square_turbo").arg(model->id));
    }
    LCDState last = numberDisplay();
    last.dots[9] = true;
    last.commas[9] = true;
    for (const QSize size : {QSize(436, 269), QSize(300, 185)}) {
        CalculatorView view;
        view.setModel(CalculatorModel::hp12c());
        view.setLCD(last);
        view.resize(size);
        save(view, QStringLiteral("drawn_12c_landscape_%1_last_point").arg(size.width()));
    }
}

TEST_F(Screenshots, PressedLatchedAndHoveredKeysWithTurbo) {
    CalculatorView view;
    view.setModel(CalculatorModel::hp15c());
    view.setLCD(test::everythingLit());
    view.setPressed({24, 25});
    view.setLatched({33});
    view.setTurbo(true);
    view.resize(1000, 620);
    view.show();
    QCoreApplication::processEvents();
    // Hover over key 7 (with its shortcut badge) and over the blue legend of key 8.
    KeyView* seven = view.drawnFace()->keyView(7);
    QMouseEvent move(QEvent::MouseMove, QPointF(seven->width() / 2.0, seven->height() / 3.0),
                     seven->mapToGlobal(QPointF(seven->width() / 2.0, seven->height() / 3.0)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(seven, &move);
    save(view, QStringLiteral("drawn_15c_pressed_latched_turbo"));
}

TEST_F(Screenshots, DisplayWithEverySegmentAndAnnunciatorLit) {
    for (const CalculatorModel* model : CalculatorModel::all()) {
        QWidget host;
        host.resize(620, 130);
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(60, 60, 60));
        host.setPalette(palette);
        host.setAutoFillBackground(true);
        LCDView lcd(false, &host);
        lcd.setModel(*model);
        lcd.setLCD(test::everythingLit());
        lcd.setFrame(QRectF(30, 20, 540, 90));
        save(host, QStringLiteral("lcd_%1c_all_lit").arg(model->id));
    }
}

TEST_F(Screenshots, PhotographFaceOnADrawnPhotograph) {
    const QString faces = test::useScratchDataFolder();
    for (const PhotoFace* face : {&PhotoFace::hp12c(), &PhotoFace::hp15c(), &PhotoFace::hp16c()}) {
        const int id = face == &PhotoFace::hp12c() ? 12 : face == &PhotoFace::hp15c() ? 15 : 16;
        const CalculatorModel& model = CalculatorModel::model(id);
        ASSERT_TRUE(test::drawTestPhoto(*face, model, 1600)
                        .save(QDir(faces).filePath(QString::fromStdString(face->emptyLCDImageName) + ".png")));
        PhotoCalculatorFace photo;
        photo.setModel(model, *face);
        photo.setLCD(numberDisplay());
        photo.setPressed({24});
        photo.setLatched({33});
        photo.setTurbo(true);
        photo.resize(1000, 640);
        photo.show();
        ASSERT_TRUE(photo.showsPhoto());
        save(photo, QStringLiteral("photo_%1c_pressed_latched_turbo").arg(id));
    }
}

TEST_F(Screenshots, DrawnFaceAtTwiceThePixelDensity) {
    CalculatorFace face;
    face.setModel(CalculatorModel::hp16c());
    face.setLCD(numberDisplay());
    face.resize(800, 500);
    face.show();
    QCoreApplication::processEvents();
    QImage image(face.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    face.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    ASSERT_TRUE(image.save(QDir(outputFolder()).filePath(QStringLiteral("drawn_16c_landscape_2x.png"))));
}

} // namespace
} // namespace tw
