// Small TrueType fonts with just the glyphs that make a font the HP 15C key font,
// the display font, or neither, written into test folders.
#pragma once

#include "docexport/font_builder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tw::test {

// A font with an outline glyph for each of the characters.
inline Bytes fontWith(std::vector<char32_t> characters) {
    std::sort(characters.begin(), characters.end());
    FontBuilder builder;
    std::vector<Segment> segments;
    for (char32_t c : characters) {
        const uint16_t glyph = builder.addGlyph(simpleGlyph());
        segments.push_back({uint16_t(c), uint16_t(c), int(glyph) - int(c)});
    }
    segments.push_back({0xFFFF, 0xFFFF, 1});
    builder.extra["cmap"] = cmapTable({{3, 1, format4(segments)}});
    builder.extra["name"] = nameTable({{1, 6, "TestFont"}, {1, 1, "Test Font"}});
    return builder.build();
}

inline Bytes keyFont() { return fontWith({U'\u00A4', U'\u00B4', U'|', U'A'}); }
inline Bytes displayFont() { return fontWith({U'0', U'8', U',', U'-', U'.'}); }
// Close to the display font, but without the comma.
inline Bytes wrongFont() { return fontWith({U'0', U'8', U'-', U'.'}); }

inline void writeBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

} // namespace tw::test
