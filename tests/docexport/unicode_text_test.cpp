#include "docexport/unicode_text.h"
#include "docexport/unicode_tables.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tw::unicode {
namespace {

TEST(UnicodeText, Utf8DecodingReplacesEveryInvalidSequence) {
    EXPECT_EQ(decodeUtf8("aé€😀"), U"aé€😀");
    EXPECT_EQ(decodeUtf8("\xC3"), U"\uFFFD");           // truncated
    EXPECT_EQ(decodeUtf8("\xC0\xAF" "b"), U"\uFFFD\uFFFDb"); // overlong
    EXPECT_EQ(decodeUtf8("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD"); // surrogate
    EXPECT_EQ(decodeUtf8("\xF4\x90\x80\x80"), U"\uFFFD\uFFFD\uFFFD\uFFFD"); // above U+10FFFF
    EXPECT_EQ(decodeUtf8("\xE2\x82x"), U"\uFFFDx");
    EXPECT_EQ(encodeUtf8(U"aé€😀"), "aé€😀");
}

TEST(UnicodeText, Utf16) {
    EXPECT_EQ(encodeUtf16(U"a😀"), (std::u16string{u'a', 0xD83D, 0xDE00}));
    EXPECT_EQ(decodeUtf16(std::u16string{0xD83D, 0xDE00, 0xDC00, u'x'}), U"😀\uFFFDx");
}

TEST(UnicodeText, Properties) {
    EXPECT_TRUE(isWhiteSpace(U' '));
    EXPECT_TRUE(isWhiteSpace(U'\t'));
    EXPECT_TRUE(isWhiteSpace(0x3000));
    EXPECT_FALSE(isWhiteSpace(0x200B)); // zero width space is not White_Space
    EXPECT_TRUE(isLetterOrNumber(U'é'));
    EXPECT_TRUE(isLetterOrNumber(0x4E2D));
    EXPECT_TRUE(isLetterOrNumber(U'²'));
    EXPECT_FALSE(isLetterOrNumber(U'_'));
    EXPECT_FALSE(isLetterOrNumber(U' '));
}

TEST(UnicodeText, CanonicalDecomposition) {
    EXPECT_EQ(canonicalDecomposition(U'ĉ'), U"c\u0302");
    EXPECT_EQ(canonicalDecomposition(U'ǹ'), U"n\u0300");
    EXPECT_EQ(canonicalDecomposition(0x1E69), U"s\u0323\u0307"); // fully expanded
    EXPECT_EQ(canonicalDecomposition(0xAC01), U"\u1100\u1161\u11A8"); // Hangul by arithmetic
    EXPECT_EQ(canonicalDecomposition(U'a'), U"a");
    EXPECT_EQ(canonicalDecomposition(0x4E2D), U"\u4E2D");
}

// The Unicode Consortium's own grapheme-break test cases (its GraphemeBreakTest.txt), of the
// version the tables and rules were made from. Each version changes some cases (15.1 keeps
// Indic conjuncts together), so the machine's own copy, whatever version it is, would not serve.
TEST(UnicodeText, GraphemeClustersPassTheUnicodeTestSuite) {
    const std::string version = unicode_tables::unicodeVersion;
    const std::string path = std::string(TW_TEST_DIR) + "/grapheme_break_test_" + version + ".txt";
    std::ifstream in(path);
    ASSERT_TRUE(in) << "cannot read " << path;
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "# GraphemeBreakTest-" + version + ".txt"); // the file is the version it is named for
    int cases = 0;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        std::istringstream tokens(line);
        std::string token;
        std::u32string text;
        std::vector<std::u32string> expected;
        bool breakBefore = true;
        while (tokens >> token) {
            if (token == "÷") breakBefore = true;
            else if (token == "×") breakBefore = false;
            else {
                char32_t c = char32_t(std::stoul(token, nullptr, 16));
                text.push_back(c);
                if (breakBefore || expected.empty()) expected.emplace_back();
                expected.back().push_back(c);
            }
        }
        EXPECT_EQ(graphemeClusters(text), expected) << line;
        ++cases;
    }
    EXPECT_GT(cases, 500);
}

} // namespace
} // namespace tw::unicode
