// Builds small TrueType font files for tests, table by table.
#pragma once

#include "docexport/true_type_font.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace tw::test {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}
inline void put32(Bytes& b, uint32_t v) {
    put16(b, v >> 16);
    put16(b, v & 0xFFFF);
}
inline void set16(Bytes& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v >> 8);
    b[at + 1] = uint8_t(v);
}

// A simple glyph: one contour of three points (21 bytes).
inline Bytes simpleGlyph() {
    Bytes g;
    put16(g, 1);                       // numberOfContours
    for (int i = 0; i < 4; ++i) put16(g, 0); // bbox
    put16(g, 2);                       // endPtsOfContours
    put16(g, 0);                       // instructionLength
    for (int i = 0; i < 3; ++i) g.push_back(0x37); // flags: on curve, short positive x and y
    for (int i = 0; i < 6; ++i) g.push_back(10);   // coordinates
    return g;
}

// A composite glyph referring to the given components (byte arguments, no scale).
inline Bytes compositeGlyph(const std::vector<uint16_t>& components) {
    Bytes g;
    put16(g, 0xFFFF); // numberOfContours -1
    for (int i = 0; i < 4; ++i) put16(g, 0);
    for (size_t i = 0; i < components.size(); ++i) {
        put16(g, i + 1 < components.size() ? 0x0020 : 0);
        put16(g, components[i]);
        g.push_back(0);
        g.push_back(0);
    }
    return g;
}

struct FontBuilder {
    int unitsPerEm = 1000;
    int numberOfHMetrics = -1; // -1: one per glyph
    std::vector<Bytes> glyphs{simpleGlyph()};
    std::vector<int> advances{500};
    std::map<std::string, Bytes> extra; // further tables, e.g. cmap, name
    bool longLoca = true;

    uint16_t addGlyph(Bytes data, int advance = 600) {
        glyphs.push_back(std::move(data));
        advances.push_back(advance);
        return uint16_t(glyphs.size() - 1);
    }

    std::map<std::string, Bytes> tables() const {
        std::map<std::string, Bytes> t = extra;
        Bytes head(54, 0);
        set16(head, 0, 1);
        set16(head, 18, uint32_t(unitsPerEm));
        set16(head, 36, uint16_t(int16_t(-50)));
        set16(head, 38, uint16_t(int16_t(-200)));
        set16(head, 40, 900);
        set16(head, 42, 800);
        set16(head, 50, longLoca ? 1 : 0);
        t.emplace("head", head);
        Bytes hhea(36, 0);
        set16(hhea, 4, 800);
        set16(hhea, 6, uint16_t(int16_t(-200)));
        int metrics = numberOfHMetrics < 0 ? int(glyphs.size()) : numberOfHMetrics;
        set16(hhea, 34, uint32_t(metrics));
        t.emplace("hhea", hhea);
        Bytes maxp(6, 0);
        set16(maxp, 0, 0);
        set16(maxp, 4, uint32_t(glyphs.size()));
        t.emplace("maxp", maxp);
        Bytes hmtx;
        for (int i = 0; i < metrics; ++i) {
            put16(hmtx, uint32_t(advances[size_t(i)]));
            put16(hmtx, 0);
        }
        t.emplace("hmtx", hmtx);
        Bytes glyf, loca;
        for (const Bytes& g : glyphs) {
            if (longLoca) put32(loca, uint32_t(glyf.size()));
            else put16(loca, uint32_t(glyf.size() / 2));
            glyf.insert(glyf.end(), g.begin(), g.end());
            while (glyf.size() % 4) glyf.push_back(0);
        }
        if (longLoca) put32(loca, uint32_t(glyf.size()));
        else put16(loca, uint32_t(glyf.size() / 2));
        t.emplace("glyf", glyf);
        t.emplace("loca", loca);
        return t;
    }

    Bytes build() const { return TrueTypeFont::writeFontFile(tables()); }
    TrueTypeFont font() const { return TrueTypeFont(build()); }
};

// A cmap table with the given encoding records, each pointing at its own subtable.
inline Bytes cmapTable(const std::vector<std::tuple<uint16_t, uint16_t, Bytes>>& records) {
    Bytes t;
    put16(t, 0);
    put16(t, uint32_t(records.size()));
    uint32_t offset = 4 + 8 * uint32_t(records.size());
    for (const auto& [platform, encoding, sub] : records) {
        put16(t, platform);
        put16(t, encoding);
        put32(t, offset);
        offset += uint32_t(sub.size());
    }
    for (const auto& r : records) t.insert(t.end(), std::get<2>(r).begin(), std::get<2>(r).end());
    return t;
}

struct Segment {
    uint16_t start, end;
    int delta; // written modulo 65536
};

// A format 4 subtable of delta-mapped segments (no glyph-id array).
inline Bytes format4(std::vector<Segment> segments) {
    Bytes s;
    uint32_t n = uint32_t(segments.size());
    put16(s, 4);
    put16(s, 16 + 8 * n);
    put16(s, 0);
    put16(s, 2 * n);
    for (int i = 0; i < 3; ++i) put16(s, 0);
    for (const Segment& g : segments) put16(s, g.end);
    put16(s, 0);
    for (const Segment& g : segments) put16(s, g.start);
    for (const Segment& g : segments) put16(s, uint32_t(g.delta) & 0xFFFF);
    for (size_t i = 0; i < n; ++i) put16(s, 0);
    return s;
}

// A name table of (platform, nameID, bytes) records.
inline Bytes nameTable(const std::vector<std::tuple<uint16_t, uint16_t, std::string>>& records) {
    Bytes t;
    put16(t, 0);
    put16(t, uint32_t(records.size()));
    put16(t, 6 + 12 * uint32_t(records.size()));
    uint32_t offset = 0;
    Bytes strings;
    for (const auto& [platform, id, text] : records) {
        put16(t, platform);
        put16(t, 0);
        put16(t, 0);
        put16(t, id);
        put16(t, uint32_t(text.size()));
        put16(t, offset);
        offset += uint32_t(text.size());
        strings.insert(strings.end(), text.begin(), text.end());
    }
    t.insert(t.end(), strings.begin(), strings.end());
    return t;
}

inline std::string utf16be(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) {
        out.push_back(char(c >> 8));
        out.push_back(char(c & 0xFF));
    }
    return out;
}

inline Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline const char* kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline const char* kDejaVuMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

} // namespace tw::test
