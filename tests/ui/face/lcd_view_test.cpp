// The display: segment outlines and placement, and what a pass paints where.
#include "ui/ui_test_support.h"

#include "runtime/catalog/calculator_model.h"
#include "ui/face/face_layout.h"
#include "ui/face/face_paint.h"
#include "ui/face/lcd_painter.h"
#include "ui/face/lcd_view.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

namespace tw {
namespace {

QPointF centre(const std::array<QPointF, 6>& v) {
    QPointF sum;
    for (const QPointF& p : v) sum += p;
    return sum / 6.0;
}

TEST(LCDGeometry, SegmentOutlinesLeanRightFromAFixedBottom) {
    const QRectF box(0, 0, 1, 2);
    const auto a = segmentVertices(0, box);
    EXPECT_NEAR(a[0].x(), 0.3071, 1e-4);
    EXPECT_NEAR(a[0].y(), 0.085, 1e-4);
    const auto d = segmentVertices(3, box);
    EXPECT_NEAR(d[5].x(), 0.2006, 1e-4);
    EXPECT_NEAR(d[5].y(), 2.0, 1e-9);
    // Any k past 6 is the middle bar.
    EXPECT_EQ(segmentVertices(9, box), segmentVertices(6, box));
}

TEST(LCDGeometry, PlacementInDigitCellsOnBothVariants) {
    const CalculatorModel& model = CalculatorModel::hp15c();
    const QSizeF frame(560, 100);
    const double c = 560 / 11.2;
    const LCDMetrics drawn = LCDMetrics::make(frame, model, false);
    // On the drawn glass the digits are centred with room to spare at both ends.
    const double cell = drawn.cell;
    EXPECT_NEAR(drawn.digitBox(9).x() - drawn.digitBox(0).x(), 9 * cell, 1e-9);
    EXPECT_NEAR(drawn.digitBox(0).x() - drawn.minusBox().x(), 0.99 * cell, 1e-9);
    const double leftRoom = drawn.minusBox().x();
    const double rightRoom = frame.width() - std::max(drawn.pointRect(9).right(),
                                                      drawn.digitBox(9).right() + 0.1 * drawn.digitHeight);
    EXPECT_NEAR(leftRoom, rightRoom, 1e-9);
    EXPECT_GE(leftRoom, 0.25 * cell - 1e-9);
    EXPECT_NEAR(drawn.annunciatorOrigin({"f", 6, 3.0}, 100).x(), drawn.digitBox(3).x() - 0.14 * cell, 1e-9);

    const LCDMetrics photo = LCDMetrics::make(frame, model, true);
    EXPECT_NEAR(photo.minusBox().x(), 0.02 * c, 1e-9);
    EXPECT_NEAR(photo.digitBox(0).x(), 1.01 * c, 1e-9);
    EXPECT_NEAR(photo.pointRect(9).right(), 10.82 * c, 1e-9);
    EXPECT_NEAR(photo.top, 22, 1e-9);
    EXPECT_NEAR(photo.digitHeight, 39, 1e-9);

    EXPECT_DOUBLE_EQ(annunciatorFontSize(40), 6);
    EXPECT_DOUBLE_EQ(annunciatorFontSize(100), 15);
}

// A display in a host with a plain background, rendered.
class LCDPainting : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        host.resize(700, 180);
        QPalette palette;
        palette.setColor(QPalette::Window, kBackground);
        host.setPalette(palette);
        host.setAutoFillBackground(true);
    }

    QImage show(const CalculatorModel& model, const LCDState& state, bool overPhoto) {
        view = std::make_unique<LCDView>(overPhoto, &host);
        view->setModel(model);
        view->setLCD(state);
        view->setFrame(frame);
        return test::render(host);
    }

    QColor at(const QImage& image, QPointF p) const { return image.pixelColor((p + frame.topLeft()).toPoint()); }

    LCDMetrics metrics(const CalculatorModel& model, bool overPhoto) const {
        return LCDMetrics::make(frame.size(), model, overPhoto);
    }

    static inline const QColor kBackground{200, 40, 40};
    QWidget host;
    std::unique_ptr<LCDView> view;
    const QRectF frame{40, 30, 560, 100};
};

TEST_F(LCDPainting, LitSegmentsInInkAndUnlitOnesAsFaintGhosts) {
    const CalculatorModel& model = CalculatorModel::hp12c();
    LCDState lcd;
    lcd.segments[2] = 0x01 | 0x40; // a and g
    lcd.segments[5] = 0xFF;        // bit 7 is not looked at
    lcd.minus = true;
    const QImage image = show(model, lcd, false);
    const LCDMetrics m = metrics(model, false);
    const QColor ink = rgbColor(model.colors.segment);
    const QColor glass = rgbColor(model.colors.lcd);
    EXPECT_LE(test::colorDistance(at(image, centre(segmentVertices(0, m.digitBox(2)))), ink), 4);
    EXPECT_LE(test::colorDistance(at(image, centre(segmentVertices(6, m.digitBox(2)))), ink), 4);
    // Segment d of the same digit is a ghost: glass with a breath of ink.
    const QColor ghost = at(image, centre(segmentVertices(3, m.digitBox(2))));
    EXPECT_GT(test::colorDistance(ghost, ink), 60);
    EXPECT_LE(test::colorDistance(ghost, glass), 30);
    for (int k = 0; k < 7; ++k)
        EXPECT_LE(test::colorDistance(at(image, centre(segmentVertices(k, m.digitBox(5)))), ink), 4) << k;
    EXPECT_LE(test::colorDistance(at(image, centre(segmentVertices(6, m.minusBox()))), ink), 4);
}

TEST_F(LCDPainting, TheLastPointAndCommaArePaintedInsideTheGlass) {
    const CalculatorModel& model = CalculatorModel::hp15c();
    LCDState lcd;
    lcd.dots[9] = true;
    lcd.commas[9] = true;
    lcd.commas[3] = true;
    const QImage image = show(model, lcd, false);
    const LCDMetrics m = metrics(model, false);
    const QColor ink = rgbColor(model.colors.segment);
    const QRectF lastPoint = m.pointRect(9);
    ASSERT_LT(lastPoint.right(), frame.width() - 2);
    EXPECT_LE(test::colorDistance(at(image, lastPoint.center()), ink), 6);
    // The comma's tail hangs below its point, leaning left.
    const QRectF point = m.pointRect(3);
    const QPointF tail(point.x() + 0.2 * point.width(), point.bottom() + 1.2 * point.height());
    EXPECT_LE(test::colorDistance(at(image, tail), ink), 30);
    // A digit with neither shows no point.
    EXPECT_GT(test::colorDistance(at(image, m.pointRect(4).center()), ink), 60);
}

// Every digit, the point after the tenth and the minus sign stay on the glass, with
// nothing painted beside it, for the display of either layout of the drawn face at
// small and large sizes and on a glass of any proportion.
TEST_F(LCDPainting, EverySegmentAndPointStaysInsideTheGlassAtEverySize) {
    LCDState all;
    all.segments.fill(0x7F);
    all.dots.fill(true);
    all.commas.fill(true);
    all.minus = true;
    std::vector<QSizeF> frames{{560, 100}, {300, 120}, {200, 90}, {900, 90}};
    for (const double width : {320.0, 480.0, 900.0, 1800.0}) {
        frames.push_back(FaceLayout::make({width, width / 1.62}, KeyboardLayout::landscape).lcd.size());
        frames.push_back(FaceLayout::make({width / 1.8, width}, KeyboardLayout::portrait).lcd.size());
    }
    for (const CalculatorModel* model : {&CalculatorModel::hp12c(), &CalculatorModel::hp15c()}) {
        for (const QSizeF size : frames) {
            const QRectF glass(QPointF(20, 20), size);
            QImage image((glass.size() + QSizeF(40, 40)).toSize(), QImage::Format_ARGB32);
            image.fill(kBackground);
            {
                QPainter painter(&image);
                paintLCD(painter, glass, all, *model, false);
            }
            // The glass's rim is a one-pixel line on its edge. Down to the annunciators,
            // whose long labels may reach past a squat glass.
            const LCDMetrics m = LCDMetrics::make(size, *model, false);
            const int annunciators =
                static_cast<int>(glass.top() + m.annunciatorOrigin({"f", 0, 0}, size.height()).y());
            int outside = 0;
            for (int y = 0; y < annunciators; ++y)
                for (int x = 0; x < image.width(); ++x)
                    if ((x < glass.left() - 1.5 || x > glass.right() + 1) && image.pixelColor(x, y) != kBackground)
                        ++outside;
            EXPECT_EQ(outside, 0) << model->name << " " << size.width() << "x" << size.height();
            double right = m.pointRect(9).right();
            for (int k = 0; k < 7; ++k)
                for (const QPointF& v : segmentVertices(k, m.digitBox(9))) right = std::max(right, v.x());
            EXPECT_LE(right, size.width() - 0.2 * m.cell) << size.width() << "x" << size.height();
            EXPECT_GE(m.minusBox().left(), 0.2 * m.cell);
        }
    }
}

TEST_F(LCDPainting, AnnunciatorsLightByTheirBit) {
    const CalculatorModel& model = CalculatorModel::hp15c();
    const Annunciator& prgm = model.annunciators.back();
    ASSERT_EQ(prgm.label, "PRGM");
    const auto darkPixels = [&](const QImage& image) {
        const LCDMetrics m = metrics(model, false);
        const QPointF origin = m.annunciatorOrigin(prgm, frame.height()) + frame.topLeft();
        int dark = 0;
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 40; ++x)
                if (image.pixelColor(origin.toPoint() + QPoint(x, y)).lightness() < 70) ++dark;
        return dark;
    };
    LCDState lcd;
    const int unlit = darkPixels(show(model, lcd, false));
    lcd.annunciatorBits = uint64_t{1} << prgm.bit;
    const int lit = darkPixels(show(model, lcd, false));
    EXPECT_EQ(unlit, 0);
    EXPECT_GT(lit, 20);
}

TEST_F(LCDPainting, OverAPhotographNoGlassAndADarkInk) {
    const CalculatorModel& model = CalculatorModel::hp16c();
    LCDState lcd;
    lcd.segments[0] = 0x7F;
    const QImage image = show(model, lcd, true);
    const LCDMetrics m = metrics(model, true);
    // Between the digits the host shows through.
    EXPECT_LE(test::colorDistance(at(image, QPointF(5, 5)), kBackground), 2);
    const QColor lit = at(image, centre(segmentVertices(0, m.digitBox(0))));
    EXPECT_LT(lit.lightness(), 40);
}

TEST_F(LCDPainting, GreyGlassIsFlatAndTheOtherFades) {
    const auto topAndBottom = [&](const CalculatorModel& model) {
        const QImage image = show(model, LCDState{}, false);
        return std::pair{at(image, QPointF(frame.width() / 2, 3)), at(image, QPointF(frame.width() / 2, 97))};
    };
    const auto [greyTop, greyBottom] = topAndBottom(CalculatorModel::hp15c());
    EXPECT_LE(test::colorDistance(greyTop, greyBottom), 1);
    const auto [fadeTop, fadeBottom] = topAndBottom(CalculatorModel::hp12c());
    EXPECT_GT(test::colorDistance(fadeTop, fadeBottom), 8);
}

TEST_F(LCDPainting, RepaintsOnlyWhenTheDisplayChanges) {
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    LCDState lcd;
    lcd.segments[1] = 0x06;
    lcd.text = "  1.  ";
    show(CalculatorModel::hp15c(), lcd, false);
    view->installEventFilter(&counter);
    host.show();
    QCoreApplication::processEvents();
    counter.paints = 0;
    view->setLCD(lcd);
    view->setModel(CalculatorModel::hp15c());
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    lcd.segments[1] = 0x5B;
    view->setLCD(lcd);
    QCoreApplication::processEvents();
    EXPECT_GE(counter.paints, 1);
    // Announced without the padding blanks.
    EXPECT_EQ(view->accessibleDescription(), QStringLiteral("1."));
    EXPECT_EQ(view->accessibleName(), QStringLiteral("Display"));
}

} // namespace
} // namespace tw
