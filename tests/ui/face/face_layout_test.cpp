// The drawn face's measures at two sizes and in several fonts, the layout choice and the brackets.
#include "runtime/catalog/calculator_model.h"
#include "ui/face/face_layout.h"
#include "ui/face/face_paint.h"

#include <QApplication>
#include <QFontInfo>

#include <gtest/gtest.h>

#include <string>

namespace tw {
namespace {

void expectRect(const QRectF& r, double x, double y, double w, double h) {
    EXPECT_NEAR(r.x(), x, 1e-9);
    EXPECT_NEAR(r.y(), y, 1e-9);
    EXPECT_NEAR(r.width(), w, 1e-9);
    EXPECT_NEAR(r.height(), h, 1e-9);
}

const KeySpec& keyOf(const CalculatorModel& model, int code) { return *model.key(code); }

TEST(FaceLayout, LandscapeThousandBySixHundred) {
    const FaceLayout f = FaceLayout::make(QSizeF(1000, 600), KeyboardLayout::landscape);
    EXPECT_DOUBLE_EQ(f.m, 21);
    EXPECT_DOUBLE_EQ(f.top, 180);
    expectRect(f.keyArea, 29.4, 196.8, 941.2, 378);
    EXPECT_NEAR(f.columnPitch, 94.12, 1e-9);
    EXPECT_NEAR(f.rowPitch, 94.5, 1e-9);
    const QRectF cap = f.capRect(keyOf(CalculatorModel::hp15c(), 11));
    EXPECT_NEAR(cap.width(), 75.296, 1e-9);
    EXPECT_NEAR(cap.height(), 60.48, 1e-9);
    EXPECT_NEAR(f.unit, 60.48, 1e-9);
    EXPECT_NEAR(f.legendFontSize(), 12.7575, 1e-9);
    expectRect(f.lcd, 140, 53.1, 520, 86.4);
    expectRect(f.bezel, 140 - 16.8, 53.1 - 14.7, 520 + 33.6, 86.4 + 29.4);
    EXPECT_NEAR(f.nameBlock.right(), 950, 1e-9);
    EXPECT_NEAR(f.bandLineWidth, 4.62, 1e-9);
}

TEST(FaceLayout, PortraitFourHundredByEightHundred) {
    const FaceLayout f = FaceLayout::make(QSizeF(400, 800), KeyboardLayout::portrait);
    EXPECT_DOUBLE_EQ(f.m, 14);
    EXPECT_DOUBLE_EQ(f.top, 188);
    // Centred in the top band (y 60.36) unless the name block needs the room below.
    EXPECT_NEAR(f.lcd.x(), 28, 1e-9);
    EXPECT_NEAR(f.lcd.width(), 344, 1e-9);
    EXPECT_NEAR(f.lcd.height(), 75.68, 1e-9);
    EXPECT_LE(f.lcd.y(), 60.36 + 1e-9);
    EXPECT_GE(f.lcd.y(), 14 - 1e-9);
    expectRect(f.keyArea, 19.6, 199.2, 360.8, 584);
    EXPECT_EQ(f.columns, 5);
    EXPECT_EQ(f.rows, 8);
    EXPECT_NEAR(f.columnPitch, 72.16, 1e-9);
    EXPECT_NEAR(f.rowPitch, 73, 1e-9);
    // The name block ends at the display's right edge.
    EXPECT_NEAR(f.nameBlock.right(), f.lcd.right(), 1e-9);
    EXPECT_NEAR(f.nameBlock.top(), f.lcd.bottom() + 0.9 * 14, 1e-9);
}

// The face's lettering takes the application's font, which the desktop chooses; these
// tests run with that font and with two that scripts/setup.sh installs, of different
// proportions (Nimbus Sans' lines are taller than DejaVu Sans'), so that a rule fitted to
// one font's metrics fails. Where a family is missing, another one stands in, and the
// rules must hold for it too.
class FaceLayoutInFont : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        desktopFont_ = QApplication::font();
        if (*GetParam()) QApplication::setFont(QFont(QString::fromLatin1(GetParam())));
        family_ = QFontInfo(faceFont(12, QFont::Bold)).family().toStdString();
    }
    void TearDown() override { QApplication::setFont(desktopFont_); }
    std::string family_; // the one found, for the failure messages

private:
    QFont desktopFont_;
};

// The model's name, subtitle and TURBO badge end above the keyboard band's line in
// every tall window, from nearly square to narrow, small to large; and the display is
// as tall as that leaves: short of its full height only when it has moved up as far as
// it goes and the name block sits right above the line.
TEST_P(FaceLayoutInFont, PortraitNameBlockEndsAboveTheBandsLine) {
    for (const double height : {260.0, 420.0, 620.0, 900.0, 1400.0}) {
        for (const double ratio : {0.45, 0.6, 0.8, 0.97, 1.04}) {
            const FaceLayout f = FaceLayout::make(QSizeF(ratio * height, height), KeyboardLayout::portrait);
            SCOPED_TRACE(::testing::Message() << family_ << ' ' << ratio * height << 'x' << height);
            const double blockBottom = f.nameBlock.top() + f.nameBlockHeight();
            const double lineTop = f.band.top() - f.bandLineWidth / 2;
            EXPECT_LE(blockBottom, lineTop);
            EXPECT_GE(f.bezel.top(), 0);
            const double full = std::min(0.22 * f.lcd.width(), 0.48 * f.top);
            EXPECT_LE(f.lcd.height(), full + 1e-9);
            if (f.lcd.height() < full - 1e-9) {
                EXPECT_LE(f.lcd.top(), f.m + 1e-9);
                // Right above: no more than half a margin unit is left unused.
                EXPECT_GE(blockBottom, lineTop - 0.5 * f.m);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, FaceLayoutInFont, ::testing::Values("", "DejaVu Sans", "Nimbus Sans"),
                         [](const ::testing::TestParamInfo<const char*>& font) {
                             const std::string family = font.param;
                             return family.empty() ? std::string("Desktop")
                                                   : family.substr(0, family.find(' ')); // DejaVu, Nimbus
                         });

TEST(FaceLayout, PortraitMovesTheRightHalfBelow) {
    const FaceLayout f = FaceLayout::make(QSizeF(400, 800), KeyboardLayout::portrait);
    EXPECT_EQ(f.cell(25).row, 6);
    EXPECT_EQ(f.cell(25).column, 0);
    EXPECT_EQ(f.cell(39).row, 7);
    EXPECT_EQ(f.cell(39).column, 4);
    EXPECT_EQ(f.cell(4).row, 0);
    EXPECT_EQ(f.cell(4).column, 4);
    const FaceLayout l = FaceLayout::make(QSizeF(1000, 600), KeyboardLayout::landscape);
    EXPECT_EQ(l.cell(39).row, 3);
    EXPECT_EQ(l.cell(39).column, 9);
}

TEST(FaceLayout, EnterCoversTheCellBelowInBothLayouts) {
    const KeySpec& enter = keyOf(CalculatorModel::hp12c(), 25);
    for (const auto& [size, layout] : {std::pair{QSizeF(1000, 600), KeyboardLayout::landscape},
                                       std::pair{QSizeF(400, 800), KeyboardLayout::portrait}}) {
        const FaceLayout f = FaceLayout::make(size, layout);
        const QRectF cap = f.capRect(enter);
        EXPECT_NEAR(cap.height(), 1.64 * f.rowPitch, 1e-9);
        const QRectF below = f.stripRect(35);
        EXPECT_GT(cap.bottom(), below.bottom() + 0.6 * f.rowPitch);
    }
}

TEST(FaceLayout, ChoosesPortraitBelowOnePointZeroFiveTimesAsWideAsHigh) {
    EXPECT_EQ(chooseKeyboardLayout(1000, 1000), KeyboardLayout::portrait);
    EXPECT_EQ(chooseKeyboardLayout(1049.99, 1000), KeyboardLayout::portrait);
    EXPECT_EQ(chooseKeyboardLayout(1050, 1000), KeyboardLayout::landscape);
}

TEST(FaceLayout, BracketOverTwoRowsInPortraitGivesTwoSegments) {
    // The HP-16C's SHOW bracket covers codes 12 to 15: columns 2 to 5 of row 1.
    const CalculatorModel& model = CalculatorModel::hp16c();
    const FaceLayout l = FaceLayout::make(QSizeF(1000, 600), KeyboardLayout::landscape);
    const auto landscape = l.bracketSegments(model);
    ASSERT_EQ(landscape.size(), 2u); // SHOW, then CLEAR
    EXPECT_EQ(landscape[0].label, "SHOW");
    EXPECT_NEAR(landscape[0].rect.width(), 4 * l.columnPitch - 0.24 * l.columnPitch, 1e-9);
    EXPECT_NEAR(landscape[0].rect.x(), l.stripRect(12).x() + 0.12 * l.columnPitch, 1e-9);
    EXPECT_NEAR(landscape[0].rect.height(), 0.4 * 0.27 * l.rowPitch, 1e-9);

    const FaceLayout p = FaceLayout::make(QSizeF(400, 800), KeyboardLayout::portrait);
    const auto portrait = p.bracketSegments(model);
    ASSERT_EQ(portrait.size(), 3u);
    EXPECT_EQ(portrait[0].label, "SHOW");
    EXPECT_EQ(portrait[1].label, "SHOW");
    EXPECT_NEAR(portrait[0].rect.width(), 3 * p.columnPitch - 0.24 * p.columnPitch, 1e-9);
    EXPECT_NEAR(portrait[0].rect.y(), p.stripRect(12).y() + 0.22 * 0.27 * p.rowPitch, 1e-9);
    EXPECT_NEAR(portrait[1].rect.width(), 0.76 * p.columnPitch, 1e-9);
    EXPECT_NEAR(portrait[1].rect.x(), p.keyArea.x() + 0.12 * p.columnPitch, 1e-9);
    EXPECT_NEAR(portrait[1].rect.y(), p.stripRect(15).y() + 0.22 * 0.27 * p.rowPitch, 1e-9);
    // CLEAR over 22 to 24 stays one segment.
    EXPECT_EQ(portrait[2].label, "CLEAR");
}

TEST(FaceLayout, BracketedLegendsAndMinimumSizes) {
    EXPECT_TRUE(FaceLayout::isBracketed(CalculatorModel::hp15c(), 22));
    EXPECT_FALSE(FaceLayout::isBracketed(CalculatorModel::hp15c(), 25));
    const FaceLayout tiny = FaceLayout::make(QSizeF(60, 40), KeyboardLayout::landscape);
    EXPECT_DOUBLE_EQ(tiny.nameFontSize(), 10);
    EXPECT_DOUBLE_EQ(tiny.subtitleFontSize(), 7);
    EXPECT_DOUBLE_EQ(tiny.turboFontSize(), 7);
    EXPECT_DOUBLE_EQ(tiny.legendFontSize(), 6);
    EXPECT_DOUBLE_EQ(tiny.bandLineWidth, 2);
}

} // namespace
} // namespace tw
