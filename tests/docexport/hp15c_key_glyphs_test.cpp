#include "docexport/hp15c_key_glyphs.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

using Colour = HP15CKeyGlyphs::Colour;

ProgramLine line(std::string prefix, std::string mnemonic) {
    ProgramLine p;
    p.prefix = std::move(prefix);
    p.mnemonic = std::move(mnemonic);
    return p;
}

std::vector<KeyGlyphRun> runsOf(std::string prefix, std::string mnemonic) {
    auto runs = HP15CKeyGlyphs::runs(line(std::move(prefix), std::move(mnemonic)));
    return runs.value_or(std::vector<KeyGlyphRun>{{"<none>", ""}});
}

TEST(HP15CKeyGlyphs, PositionTables) {
    EXPECT_EQ(HP15CKeyGlyphs::glyphs(Colour::primary).size(), 39u);
    EXPECT_EQ(HP15CKeyGlyphs::glyphs(Colour::gold).size(), 36u);
    EXPECT_EQ(HP15CKeyGlyphs::glyphs(Colour::blue).size(), 36u);
    for (int code : {30, 31, 32, 35}) EXPECT_FALSE(HP15CKeyGlyphs::glyphs(Colour::gold).count(code));
    EXPECT_FALSE(HP15CKeyGlyphs::glyphs(Colour::primary).count(35));
    EXPECT_EQ(HP15CKeyGlyphs::glyphs(Colour::primary).at(0), "\u00A4");
    EXPECT_EQ(HP15CKeyGlyphs::glyphs(Colour::gold).at(21), "\u2211");
    EXPECT_EQ(HP15CKeyGlyphs::glyphs(Colour::blue).at(36), "\u2019");
    // The key legends of the catalogue and the listing's own spellings.
    EXPECT_EQ(HP15CKeyGlyphs::legends(Colour::gold).at("RAN#").second, 25);
    EXPECT_EQ(HP15CKeyGlyphs::legends(Colour::gold).at("RAN #").second, 25);
    EXPECT_EQ(HP15CKeyGlyphs::legends(Colour::primary).at("\u2B05").second, 24);
    EXPECT_EQ(HP15CKeyGlyphs::legends(Colour::primary).at("ENTER").second, 25);
    EXPECT_EQ(HP15CKeyGlyphs::legends(Colour::blue).at("x\u0304").first, "\u2019");
}

TEST(HP15CKeyGlyphs, RunsOfListingLines) {
    EXPECT_EQ(runsOf("f", "LBL A"), (std::vector<KeyGlyphRun>{{"\u00B4", "f"}, {"b", "LBL"}, {"A", "A"}}));
    EXPECT_EQ(runsOf("", "STO 2 3"), (std::vector<KeyGlyphRun>{{"O", "STO"}, {"2", "2"}, {"3", "3"}}));
    // A later token not held as a whole is drawn character by character in primary glyphs.
    EXPECT_EQ(runsOf("", "GTO 23"), (std::vector<KeyGlyphRun>{{"t", "GTO"}, {"2", "2"}, {"3", "3"}}));
    EXPECT_EQ(runsOf("g", "CF 8"), (std::vector<KeyGlyphRun>{{"|", "g"}, {"\"", "CF"}, {"8", "8"}}));
    EXPECT_EQ(runsOf("", "RCL f 1"), (std::vector<KeyGlyphRun>{{"l", "RCL"}, {"\u00B4", "f"}, {"1", "1"}}));
}

TEST(HP15CKeyGlyphs, LinesThatCannotBeDrawn) {
    EXPECT_FALSE(HP15CKeyGlyphs::runs(line("f", "")));
    EXPECT_FALSE(HP15CKeyGlyphs::runs(line("", "   ")));
    EXPECT_FALSE(HP15CKeyGlyphs::runs(line("", "23"))); // a first token is never taken apart
    EXPECT_FALSE(HP15CKeyGlyphs::runs(line("", "STO @")));
}

TEST(HP15CKeyGlyphs, QuestionMarkTokens) {
    // "F?" is the blue legend of position 18 and is looked up only as itself.
    EXPECT_EQ(runsOf("g", "F? 1"), (std::vector<KeyGlyphRun>{{"|", "g"}, {"?", "F?"}, {"1", "1"}}));
    // Another token ending in "?" is looked up without it when it is not held as it is.
    EXPECT_EQ(runsOf("g", "TEST?"), (std::vector<KeyGlyphRun>{{"|", "g"}, {"T", "TEST?"}}));
}

} // namespace
} // namespace tw
