// Which character of the HP 15C key font draws which key legend, and the key-font runs of
// a program step's keys.
#pragma once

#include "docexport/pdf_types.h"
#include "runtime/snapshot/program_line.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tw {

class HP15CKeyGlyphs {
public:
    enum class Colour { primary, gold, blue };

    // Position (key code) -> the one-character glyph text of that colour's legend.
    static const std::map<int, std::string>& glyphs(Colour colour);
    // Legend text -> (glyph text, position), for one colour.
    static const std::map<std::string, std::pair<std::string, int>>& legends(Colour colour);

    // The runs that draw a listing line in the key font; nothing when it cannot be drawn.
    static std::optional<std::vector<KeyGlyphRun>> runs(const ProgramLine& line);
};

} // namespace tw
