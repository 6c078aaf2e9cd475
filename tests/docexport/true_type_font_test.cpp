#include "docexport/true_type_font.h"

#include "docexport/font_builder.h"
#include "docexport/pdf_tools.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tw::test {
namespace {

using Kind = TrueTypeFont::FontError::Kind;

TrueTypeFont::FontError errorOf(const Bytes& bytes) {
    try {
        TrueTypeFont font(bytes);
    } catch (const TrueTypeFont::FontError& e) {
        return e;
    }
    ADD_FAILURE() << "font was accepted";
    return TrueTypeFont::FontError::notTrueType();
}

TEST(TrueTypeFont, RefusesFilesThatAreNotTrueType) {
    Bytes good = FontBuilder().build();
    EXPECT_EQ(errorOf(Bytes(good.begin(), good.begin() + 12)).kind, Kind::notTrueType);

    Bytes otto = good;
    otto[0] = 'O', otto[1] = 'T', otto[2] = 'T', otto[3] = 'O'; // CFF outlines
    EXPECT_EQ(errorOf(otto).kind, Kind::notTrueType);

    Bytes trueTag = good;
    trueTag[0] = 't', trueTag[1] = 'r', trueTag[2] = 'u', trueTag[3] = 'e';
    EXPECT_NO_THROW(TrueTypeFont{trueTag});

    Bytes pastEnd = good;
    set16(pastEnd, 4, 200); // records run past the file
    EXPECT_EQ(errorOf(pastEnd).kind, Kind::notTrueType);

    Bytes longTable = good;
    put32(longTable, 0); // keep the file size honest, then stretch the first table's length
    longTable.resize(good.size());
    set16(longTable, 12 + 12, 0xFFFF);
    EXPECT_EQ(errorOf(longTable).kind, Kind::notTrueType);
}

TEST(TrueTypeFont, NamesTheFirstMissingRequiredTable) {
    for (const char* tag : {"head", "hhea", "maxp", "hmtx", "loca", "glyf"}) {
        auto tables = FontBuilder().tables();
        tables.erase(tag);
        tables.erase("glyf"); // a later missing table must not be the one named
        if (std::string(tag) != "glyf") tables.emplace("glyf", FontBuilder().tables().at("glyf"));
        auto error = errorOf(TrueTypeFont::writeFontFile(tables));
        EXPECT_EQ(error.kind, Kind::missingTable);
        EXPECT_EQ(error.tag, tag);
    }
    auto tables = FontBuilder().tables();
    tables.erase("hhea");
    tables.erase("loca");
    EXPECT_EQ(errorOf(TrueTypeFont::writeFontFile(tables)).tag, "hhea");
}

TEST(TrueTypeFont, RefusesZeroUnitsPerEmAndAShortHead) {
    FontBuilder zero;
    zero.unitsPerEm = 0;
    EXPECT_EQ(errorOf(zero.build()).kind, Kind::notTrueType);

    auto tables = FontBuilder().tables();
    tables["head"].resize(50);
    EXPECT_EQ(errorOf(TrueTypeFont::writeFontFile(tables)).kind, Kind::notTrueType);
}

TEST(TrueTypeFont, ReadsMetricsAndPadsAdvancesPastTheLastLongMetric) {
    FontBuilder b;
    for (int i = 1; i < 10; ++i) b.addGlyph(simpleGlyph(), 100 * i);
    b.numberOfHMetrics = 3;
    b.unitsPerEm = 2048;
    TrueTypeFont font = b.font();
    EXPECT_EQ(font.unitsPerEm, 2048);
    EXPECT_EQ(font.numGlyphs, 10);
    EXPECT_EQ(font.ascent, 800);
    EXPECT_EQ(font.descent, -200);
    EXPECT_EQ(font.bbox, (std::array<int, 4>{-50, -200, 900, 800}));
    EXPECT_EQ(font.advances, (std::vector<int>{500, 100, 200, 200, 200, 200, 200, 200, 200, 200}));
    EXPECT_DOUBLE_EQ(font.advance(1), 100 * 1000.0 / 2048);
    EXPECT_EQ(font.advance(10), 0);
    EXPECT_EQ(font.glyphOffsets.size(), 11u);

    // A short hmtx reads as zero advances rather than past its end.
    auto tables = b.tables();
    tables["hmtx"].resize(6);
    TrueTypeFont shortHmtx(TrueTypeFont::writeFontFile(tables));
    EXPECT_EQ(shortHmtx.advances[0], 500);
    EXPECT_EQ(shortHmtx.advances[2], 0);
}

TEST(TrueTypeFont, ReadsShortLocaOffsets) {
    FontBuilder b;
    b.longLoca = false;
    b.addGlyph(simpleGlyph());
    b.addGlyph({});
    TrueTypeFont font = b.font();
    EXPECT_TRUE(font.hasOutline(1));
    EXPECT_FALSE(font.hasOutline(2));
    EXPECT_EQ(font.glyphOffsets[1], 24u); // 21 bytes, padded
}

TEST(TrueTypeFont, PrefersTheWindowsUnicodeCharacterMap) {
    auto mapping = [](std::vector<std::tuple<uint16_t, uint16_t, Bytes>> records) {
        FontBuilder b;
        for (int i = 0; i < 4; ++i) b.addGlyph(simpleGlyph());
        b.extra["cmap"] = cmapTable(records);
        return b.font().glyphID(U'A');
    };
    Bytes toOne = format4({{'A', 'A', 1 - 'A'}}), toTwo = format4({{'A', 'A', 2 - 'A'}}),
          toThree = format4({{'A', 'A', 3 - 'A'}});
    EXPECT_EQ(mapping({{3, 0, toOne}, {3, 1, toTwo}}), 2);
    EXPECT_EQ(mapping({{3, 1, toTwo}, {3, 0, toOne}}), 2);
    EXPECT_EQ(mapping({{0, 3, toThree}, {3, 0, toOne}}), 3);
    EXPECT_EQ(mapping({{1, 0, toOne}, {2, 0, toTwo}}), 1); // all score 0: the first
}

TEST(TrueTypeFont, Format4MappingEdges) {
    FontBuilder b;
    for (int i = 0; i < 4; ++i) b.addGlyph(simpleGlyph());
    // 0xFFFE and 0xFFFF in one segment; a segment whose delta makes glyph 0; a later
    // segment replacing an earlier mapping; a reversed segment.
    b.extra["cmap"] = cmapTable({{3, 1, format4({{'a', 'c', 1 - 'a'}, {'c', 'c', 4 - 'c'}, {'x', 'x', -'x'},
                                                {'q', 'p', 1}, {0xFFFE, 0xFFFF, 2 - 0xFFFE}})}});
    TrueTypeFont font = b.font();
    EXPECT_EQ(font.glyphID(U'a'), 1);
    EXPECT_EQ(font.glyphID(U'b'), 2);
    EXPECT_EQ(font.glyphID(U'c'), 4);
    EXPECT_EQ(font.glyphID(U'x'), 0);
    EXPECT_EQ(font.cmap.count(U'x'), 0u);
    EXPECT_EQ(font.glyphID(U'p'), 0);
    EXPECT_EQ(font.glyphID(0xFFFE), 2);
    EXPECT_EQ(font.cmap.count(0xFFFF), 0u);
}

TEST(TrueTypeFont, Format4WithGlyphIdArray) {
    // One segment 'A'..'C' through the glyph-id array (second entry 0: unmapped), then the end segment.
    Bytes s;
    put16(s, 4), put16(s, 0), put16(s, 0), put16(s, 4), put16(s, 0), put16(s, 0), put16(s, 0);
    put16(s, 'C'), put16(s, 0xFFFF), put16(s, 0);
    put16(s, 'A'), put16(s, 0xFFFF);
    put16(s, 1), put16(s, 1);     // idDelta
    put16(s, 4), put16(s, 0);     // idRangeOffset: from its own entry, 4 bytes on to the array
    put16(s, 2), put16(s, 0), put16(s, 4);
    set16(s, 2, uint32_t(s.size()));
    FontBuilder b;
    for (int i = 0; i < 5; ++i) b.addGlyph(simpleGlyph());
    b.extra["cmap"] = cmapTable({{3, 1, s}});
    TrueTypeFont font = b.font();
    EXPECT_EQ(font.glyphID(U'A'), 3);
    EXPECT_EQ(font.glyphID(U'B'), 0);
    EXPECT_EQ(font.glyphID(U'C'), 5);
}

TEST(TrueTypeFont, Format6AndUnknownFormats) {
    Bytes s;
    put16(s, 6), put16(s, 0), put16(s, 0), put16(s, '0'), put16(s, 3), put16(s, 1), put16(s, 0), put16(s, 2);
    FontBuilder b;
    b.addGlyph(simpleGlyph());
    b.addGlyph(simpleGlyph());
    b.extra["cmap"] = cmapTable({{3, 1, s}});
    TrueTypeFont font = b.font();
    EXPECT_EQ(font.cmap, (std::map<uint32_t, uint16_t>{{'0', 1}, {'2', 2}}));

    Bytes twelve(16, 0);
    set16(twelve, 0, 12);
    b.extra["cmap"] = cmapTable({{3, 1, twelve}});
    EXPECT_TRUE(b.font().cmap.empty());
    b.extra["cmap"] = Bytes{0, 0, 0, 1, 0, 3, 0, 1, 0, 0, 0x10, 0}; // subtable past the table
    EXPECT_TRUE(b.font().cmap.empty());
}

TEST(TrueTypeFont, HostileCharacterMapIsBounded) {
    // 32767 segments, each covering every code: billions of visits if nothing bounds them.
    std::vector<Segment> segments(32767, Segment{0, 0xFFFE, 1});
    FontBuilder b;
    b.addGlyph(simpleGlyph());
    b.extra["cmap"] = cmapTable({{3, 1, format4(segments)}});
    TrueTypeFont font = b.font();
    EXPECT_EQ(font.glyphID(U'A'), 'A' + 1);

    // A segment count far beyond the table reads its missing entries as zero.
    Bytes lying = format4({{'A', 'A', 1 - 'A'}});
    set16(lying, 6, 0xFFFE);
    b.extra["cmap"] = cmapTable({{3, 1, lying}});
    EXPECT_NO_THROW(b.font());
}

TEST(TrueTypeFont, Names) {
    FontBuilder b;
    EXPECT_EQ(b.font().postScriptName, "Font");
    EXPECT_EQ(b.font().familyName, "");

    b.extra["name"] = nameTable({{3, 1, utf16be(u"Key Font")}, {3, 6, utf16be(u"HP 15C_Keys-Ré")}});
    EXPECT_EQ(b.font().postScriptName, "HP15CKeys-Ré");
    EXPECT_EQ(b.font().familyName, "Key Font");

    // Without a PostScript name the family name stands in; an empty record is passed over;
    // Macintosh names are UTF-8; a record past the table is ignored.
    b.extra["name"] = nameTable({{3, 6, ""}, {1, 1, "Mac Family"}, {3, 1, utf16be(u"Later")}});
    EXPECT_EQ(b.font().postScriptName, "MacFamily");
    EXPECT_EQ(b.font().familyName, "Mac Family");
    Bytes broken = nameTable({{3, 6, utf16be(u"Name")}});
    set16(broken, 6 + 8, 0x7000);
    b.extra["name"] = broken;
    EXPECT_EQ(b.font().postScriptName, "");
}

TEST(TrueTypeFont, HasGlyphNeedsOutlineExceptForWhiteSpace) {
    FontBuilder b;
    uint16_t space = b.addGlyph({});
    uint16_t a = b.addGlyph(simpleGlyph());
    uint16_t empty = b.addGlyph({});
    b.extra["cmap"] = cmapTable({{3, 1, format4({{' ', ' ', space - ' '}, {'A', 'A', a - 'A'},
                                                {'B', 'B', empty - 'B'}, {'C', 'C', 40 - 'C'}})}});
    TrueTypeFont font = b.font();
    EXPECT_TRUE(font.hasGlyph(U' '));
    EXPECT_TRUE(font.hasGlyph(U'A'));
    EXPECT_FALSE(font.hasGlyph(U'B')); // no outline
    EXPECT_FALSE(font.hasGlyph(U'C')); // beyond numGlyphs
    EXPECT_FALSE(font.hasGlyph(U'D')); // not mapped
}

TEST(TrueTypeFont, SubsetKeepsGlyphZeroAndCompositeComponents) {
    FontBuilder b;
    uint16_t g1 = b.addGlyph(simpleGlyph());
    uint16_t g2 = b.addGlyph(simpleGlyph());
    uint16_t g3 = b.addGlyph(compositeGlyph({g1, g2}));
    uint16_t g4 = b.addGlyph(simpleGlyph());
    b.glyphs[0] = compositeGlyph({g4}); // glyph 0 itself refers to a component
    TrueTypeFont font = b.font();

    TrueTypeFont empty(font.subset({}));
    EXPECT_TRUE(empty.hasOutline(0));
    EXPECT_TRUE(empty.hasOutline(g4));
    EXPECT_FALSE(empty.hasOutline(g1));
    EXPECT_FALSE(empty.hasOutline(g3));
    EXPECT_EQ(empty.numGlyphs, font.numGlyphs);
    for (const char* tag : {"glyf", "head", "loca", "hhea", "hmtx", "maxp"}) EXPECT_TRUE(empty.tables.count(tag)) << tag;
    EXPECT_FALSE(empty.tables.count("cmap"));

    TrueTypeFont composite(font.subset({g3}));
    for (uint16_t g : {g1, g2, g3, g4}) EXPECT_TRUE(composite.hasOutline(g)) << g;

    Bytes head(composite.tables.at("head").begin(), composite.tables.at("head").end());
    EXPECT_EQ(head[51], 1); // long loca
    EXPECT_EQ(head[8] | head[9] | head[10] | head[11], 0);
}

TEST(TrueTypeFont, DamagedGlyphLocationsStayInsideGlyf) {
    FontBuilder b;
    b.addGlyph(compositeGlyph({1, 2, 3}));
    b.addGlyph(simpleGlyph());
    auto tables = b.tables();
    Bytes& loca = tables["loca"];
    set16(loca, 4 * 2 + 2, 0x0FFF); // glyph 2 starts far past glyf
    set16(loca, 4 * 3 + 2, 2);      // glyph 3 ends before it starts
    TrueTypeFont font(TrueTypeFont::writeFontFile(tables));
    EXPECT_FALSE(font.hasOutline(2));
    TrueTypeFont subset(font.subset({1, 2, 3, 500}));
    EXPECT_TRUE(subset.hasOutline(1));

    // Locations that go back and forth point every other glyph at the whole table; a
    // composite using them all must not make the subset hundreds of times the font's size.
    FontBuilder d;
    std::vector<uint16_t> all;
    for (uint16_t g = 1; g <= 400; ++g) all.push_back(g);
    d.glyphs[0] = compositeGlyph(all);
    for (int g = 0; g < 400; ++g) d.addGlyph(simpleGlyph());
    auto wide = d.tables();
    uint32_t glyfSize = uint32_t(wide["glyf"].size());
    for (uint32_t k = 2; k <= 401; ++k) { // glyph 0 keeps its own bytes
        wide["loca"][4 * k] = 0;
        wide["loca"][4 * k + 1] = 0;
        set16(wide["loca"], 4 * k + 2, k % 2 ? 0 : glyfSize);
    }
    TrueTypeFont overlapping(TrueTypeFont::writeFontFile(wide));
    EXPECT_TRUE(overlapping.hasOutline(3));
    TrueTypeFont bounded(overlapping.subset({0}));
    EXPECT_LE(bounded.tables.at("glyf").size(), size_t(glyfSize));
    EXPECT_TRUE(bounded.hasOutline(0));

    // A composite whose flags promise more components than it has bytes.
    FontBuilder c;
    Bytes truncated = compositeGlyph({0, 0});
    truncated.resize(truncated.size() - 2);
    c.addGlyph(truncated);
    EXPECT_NO_THROW(c.font().subset({1}));
}

TEST(TrueTypeFont, WritesTheTableDirectory) {
    std::map<std::string, Bytes> tables{{"head", Bytes(54, 1)}, {"cvt ", Bytes{1, 2, 3}}, {"glyf", Bytes{}},
                                        {"loca", Bytes(8, 0)}, {"maxp", Bytes(6, 0)}};
    Bytes file = TrueTypeFont::writeFontFile(tables);
    EXPECT_EQ(file[4] << 8 | file[5], 5);    // numTables
    EXPECT_EQ(file[6] << 8 | file[7], 64);   // searchRange
    EXPECT_EQ(file[8] << 8 | file[9], 2);    // entrySelector
    EXPECT_EQ(file[10] << 8 | file[11], 16); // rangeShift
    EXPECT_EQ(std::string(file.begin() + 12, file.begin() + 16), "cvt ");
    EXPECT_EQ(std::string(file.begin() + 28, file.begin() + 32), "glyf");
    // cvt: checksum of 01 02 03 00, offset 12 + 80, length 3; glyf then starts 4 bytes on.
    auto u32 = [&](size_t at) { return uint32_t(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3]; };
    EXPECT_EQ(u32(16), 0x01020300u);
    EXPECT_EQ(u32(20), 92u);
    EXPECT_EQ(u32(24), 3u);
    EXPECT_EQ(u32(36), 96u);
}

TEST(TrueTypeFont, RealFontSubsetPassesFontTools) {
    if (!std::filesystem::exists(kDejaVuSans) || !toolAvailable("/usr/bin/python3")) GTEST_SKIP();
    TrueTypeFont font(readFile(kDejaVuSans));
    EXPECT_EQ(font.unitsPerEm, 2048);
    EXPECT_EQ(font.postScriptName, "DejaVuSans");
    EXPECT_EQ(font.familyName, "DejaVu Sans");
    EXPECT_TRUE(font.hasGlyph(U'8'));
    EXPECT_TRUE(font.hasGlyph(U' '));
    // Ǻ is a composite in DejaVu Sans; é often is too.
    std::set<uint16_t> used{font.glyphID(U'8'), font.glyphID(U'A'), font.glyphID(U'\u01FA'), font.glyphID(U'é')};
    TempFile file("subset.ttf");
    file.write(font.subset(used));
    std::string ids;
    for (uint16_t g : used) ids += std::to_string(g) + ",";
    auto r = runTool({"/usr/bin/python3", std::string(TW_TEST_DIR) + "/check_subset.py", file.str(), ids});
    EXPECT_EQ(r.status, 0) << r.output;
}

} // namespace
} // namespace tw::test
