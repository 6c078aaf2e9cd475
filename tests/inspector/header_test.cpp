// The inspector's header: title, tags, mode and flags texts, line counter.
#include <gtest/gtest.h>

#include <QFontMetrics>

#include "inspector/inspector_fixtures.h"
#include "inspector/inspector_header.h"
#include "inspector/inspector_style.h"
#include "inspector/tag.h"

namespace tw {
namespace {

class HeaderTest : public test::WithApp {
protected:
    InspectorHeader header;
};

// A text too wide for its room is drawn smaller until it fits, but never below the
// smallest size asked for (half for values): the caller cuts what still does not fit.
TEST_F(HeaderTest, ShrunkToFitStopsAtItsSmallestSize) {
    const QFont font = inspectorFont(13, QFont::Normal, true);
    const QString text = QStringLiteral("-1.234567890 -99");
    const int full = QFontMetrics(font).horizontalAdvance(text);
    EXPECT_EQ(shrunkToFit(font, text, full + 4, 0.5), font);

    const int room = full * 3 / 4;
    const QFont fitted = shrunkToFit(font, text, room, 0.5);
    EXPECT_LE(QFontMetrics(fitted).horizontalAdvance(text), room);
    EXPECT_LT(fitted.pointSizeF(), font.pointSizeF());
    EXPECT_GE(fitted.pointSizeF(), font.pointSizeF() * 0.5);

    for (const double smallest : {0.5, 0.7}) {
        SCOPED_TRACE(smallest);
        for (const int tiny : {0, 5, full / 4}) {
            EXPECT_DOUBLE_EQ(shrunkToFit(font, text, tiny, smallest).pointSizeF(), font.pointSizeF() * smallest);
        }
    }
}

TEST_F(HeaderTest, TitleNamesTheModelAndThe15Point2Mode) {
    auto s = test::hp15cSnapshot();
    header.setSnapshot(s);
    EXPECT_EQ(header.titleText(), "HP-15C");
    s.variant = 152;
    header.setSnapshot(s);
    EXPECT_EQ(header.titleText(), "HP-15C (15.2)");
    header.setSnapshot(test::hp12cSnapshot());
    EXPECT_EQ(header.titleText(), "HP-12C");
    header.setSnapshot(test::hp16cSnapshot());
    EXPECT_EQ(header.titleText(), "HP-16C");
}

TEST_F(HeaderTest, FlagsOfThe15CCarryTheComplexLetterAndShowTheComplexTag) {
    auto s = test::hp15cSnapshot();
    s.flags = (1u << 1) | (1u << 8) | (1u << 9);
    header.setSnapshot(s);
    EXPECT_EQ(header.shownFlagsText(), "flags 1 8(C) 9");
    EXPECT_TRUE(header.complexShown());
    s.flags = 0;
    header.setSnapshot(s);
    EXPECT_EQ(header.shownFlagsText(), "flags –");
    EXPECT_FALSE(header.complexShown());
    EXPECT_EQ(InspectorHeader::flagsToolTip(15), "Flags set. 8: complex mode, 9: overflow (blinking display).");
}

// Complex mode is flag 8 and nothing else: each flag set alone.
TEST_F(HeaderTest, TheComplexTagFollowsFlag8Alone) {
    auto s = test::hp15cSnapshot();
    for (int flag = 0; flag <= 9; ++flag) {
        s.flags = 1u << flag;
        header.setSnapshot(s);
        EXPECT_EQ(header.complexShown(), flag == 8) << "flag " << flag;
    }
    // Every other flag set together still shows no tag.
    s.flags = 0x3FFu & ~(1u << 8);
    header.setSnapshot(s);
    EXPECT_FALSE(header.complexShown());
}

TEST_F(HeaderTest, The16CShowsItsNumberModeAndNamesCarryAndOutOfRange) {
    auto s = test::hp16cSnapshot();
    s.flags = (1u << 3) | (1u << 4) | (1u << 5);
    header.setSnapshot(s);
    EXPECT_EQ(header.modeText(), "HEX  WSIZE 16  2's");
    EXPECT_EQ(header.shownFlagsText(), "flags 3 4(C) 5(G)");
    EXPECT_EQ(InspectorHeader::flagsToolTip(16),
              "Flags set. 3: show leading zeros, 4: carry (C), 5: out of range (G).");
    // Flag 8 is no complex flag on the 16C.
    s.flags = 1u << 8;
    header.setSnapshot(s);
    EXPECT_FALSE(header.complexShown());
    s.base = 0;
    header.setSnapshot(s);
    EXPECT_EQ(header.modeText(), "FLOAT");
}

TEST_F(HeaderTest, The12CHasNoModeOrFlagsButKeepsItsLineCounter) {
    auto s = test::hp12cSnapshot();
    s.flags = 0x3FF;
    s.line = 7;
    s.lines = 42;
    header.setSnapshot(s);
    EXPECT_EQ(header.modeText(), "");
    EXPECT_EQ(header.shownFlagsText(), "");
    EXPECT_EQ(header.shownLineText(), "line 007 / 042");
    s.line = 1234;
    s.lines = 2000;
    header.setSnapshot(s);
    EXPECT_EQ(header.shownLineText(), "line 1234 / 2000");
    s.hasProgram = false;
    header.setSnapshot(s);
    EXPECT_EQ(header.shownLineText(), "");
}

TEST_F(HeaderTest, RunningOutranksProgramModeAndExtendedMemoryHasItsTag) {
    auto s = test::hp16cSnapshot();
    header.setSnapshot(s);
    EXPECT_EQ(header.stateTag(), "");
    EXPECT_FALSE(header.extendedMemoryShown());
    s.programMode = true;
    header.setSnapshot(s);
    EXPECT_EQ(header.stateTag(), "PRGM");
    s.running = true;
    s.extendedMemory = true;
    header.setSnapshot(s);
    EXPECT_EQ(header.stateTag(), "RUNNING");
    EXPECT_TRUE(header.extendedMemoryShown());
    s.running = false;
    s.programMode = false;
    header.setSnapshot(s);
    EXPECT_EQ(header.stateTag(), "");
}

TEST_F(HeaderTest, TagsAreSizedToTheirText) {
    Tag shortTag(QStringLiteral("C"));
    Tag longTag(QStringLiteral("RUNNING"));
    EXPECT_LT(shortTag.sizeHint().width(), longTag.sizeHint().width());
    EXPECT_EQ(longTag.accessibleName(), "RUNNING");
}

} // namespace
} // namespace tw

namespace tw {
namespace {

TEST(InspectorColours, TheSchemeIsReadFromTheWindowsLightness) {
    test::inspectorApp();
    EXPECT_TRUE(isDarkPalette(test::darkPalette()));
    EXPECT_FALSE(isDarkPalette(test::lightPalette()));
    // The current row and its prefixes take the scheme's colours; other rows keep amber and blue.
    EXPECT_EQ(currentRowBackground(false, false), QColor(211, 241, 211));
    EXPECT_EQ(currentRowBackground(false, true), QColor(180, 229, 180));
    EXPECT_EQ(currentRowBackground(true, false), QColor(46, 94, 58));
    EXPECT_EQ(currentRowBackground(true, true), QColor(58, 125, 74));
    EXPECT_EQ(prefixColor("f", true, false), QColor(154, 98, 10));
    EXPECT_EQ(prefixColor("g", true, true), QColor(140, 200, 245));
    EXPECT_EQ(prefixColor("f", false, true), inspectorAmber());
    EXPECT_EQ(prefixColor("h", false, false), inspectorBlue());
    // Secondary text is the window text, dimmed, in either scheme.
    EXPECT_EQ(secondaryText(test::darkPalette()).rgb(), test::darkPalette().color(QPalette::WindowText).rgb());
    EXPECT_LT(secondaryText(test::darkPalette()).alphaF(), 1.0f);
}

} // namespace
} // namespace tw
