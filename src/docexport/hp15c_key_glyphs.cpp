#include "docexport/hp15c_key_glyphs.h"

#include "docexport/unicode_text.h"
#include "runtime/catalog/calculator_model.h"

#include <array>

namespace tw {

namespace {

using Colour = HP15CKeyGlyphs::Colour;

struct PositionGlyphs {
    int position;
    char32_t primary, gold, blue; // 0: the key has no legend of that colour
};

// The key font's character for each legend, by key code.
constexpr PositionGlyphs kPositions[] = {
    {0, 0x00A4, 0x0041, 0x0078},  {1, 0x0027, 0x0042, 0x004E},  {2, 0x0040, 0x0043, 0x006F},
    {3, 0x0079, 0x00C1, 0x006B},  {4, 0x2044, 0x0045, 0x2206},  {5, 0x201D, 0x003E, 0x0061},
    {6, 0x0037, 0x2022, 0x0044},  {7, 0x0038, 0x0069, 0x0052},  {8, 0x0039, 0x005E, 0x0067},
    {9, 0x00F7, 0x005F, 0x00A3},  {10, 0x00C2, 0x0062, 0x201A}, {11, 0x0074, 0x0050, 0x0048},
    {12, 0x005B, 0x006D, 0x002C}, {13, 0x005C, 0x0025, 0x007B}, {14, 0x005D, 0x0056, 0x002F},
    {15, 0x201C, 0x003C, 0x0024}, {16, 0x0034, 0x0058, 0x0046}, {17, 0x0035, 0x0065, 0x0022},
    {18, 0x0036, 0x0049, 0x003F}, {19, 0x002A, 0x0066, 0x007E}, {20, 0x00A6, 0x00A9, 0x00A5},
    {21, 0x0047, 0x2211, 0x006E}, {22, 0x0029, 0x004D, 0x0028}, {23, 0x00AE, 0x0051, 0x0026},
    {24, 0x2212, 0x0075, 0x0060}, {25, 0x0076, 0x0023, 0x004B}, {26, 0x0031, 0x003B, 0x003A},
    {27, 0x0032, 0x0068, 0x00C0}, {28, 0x0033, 0x0072, 0x0064}, {29, 0x002D, 0x007D, 0x0054},
    {30, 0x003D, 0, 0},           {31, 0x00B4, 0, 0},           {32, 0x007C, 0, 0},
    {33, 0x004F, 0x0071, 0x2018}, {34, 0x006C, 0x0055, 0x0057}, {36, 0x0030, 0x0021, 0x2019},
    {37, 0x002E, 0x006A, 0x0053}, {38, 0x007A, 0x004C, 0x0077}, {39, 0x002B, 0x0070, 0x0063},
};

struct ExtraLegend {
    Colour colour;
    const char* text;
    int position;
};

// Listing texts that differ from the key's own legend.
const ExtraLegend kExtraLegends[] = {
    {Colour::primary, "e^x", 1},   {Colour::primary, "10^x", 2},      {Colour::primary, "y^x", 3},
    {Colour::primary, "1/x", 4},   {Colour::primary, "x<>y", 23},     {Colour::primary, "x\u2277y", 23},
    {Colour::primary, "\u2B05", 24}, {Colour::primary, "\u2190", 24}, {Colour::primary, "\u00B7", 37},
    {Colour::primary, ".", 37},    {Colour::primary, "-", 29},        {Colour::primary, "*", 19},
    {Colour::primary, "/", 9},
    {Colour::gold, "\u222B", 19},  {Colour::gold, "\u222B\u02B8\u2093", 19}, {Colour::gold, "\u222Bxy", 19},
    {Colour::gold, "CLEAR", 21},   {Colour::gold, "\u03A3", 21},      {Colour::gold, "RAN #", 25},
    {Colour::gold, "x\u2277", 16}, {Colour::gold, "Re\u2277Im", 29},  {Colour::gold, "Re<>Im", 29},
    {Colour::gold, "x<>", 16},
    {Colour::blue, "LSTx", 25},    {Colour::blue, "LST x", 25},       {Colour::blue, "CLx", 24},
    {Colour::blue, "CL x", 24},    {Colour::blue, "x\u0304", 36},     {Colour::blue, "x\u2264y", 9},
    {Colour::blue, "x=0", 19},
};

struct Tables {
    std::array<std::map<int, std::string>, 3> glyphs;
    std::array<std::map<std::string, std::pair<std::string, int>>, 3> legends;
};

const Tables& tables() {
    static const Tables cached = [] {
        Tables t;
        for (const PositionGlyphs& p : kPositions) {
            std::array<char32_t, 3> cells{p.primary, p.gold, p.blue};
            for (size_t c = 0; c < 3; ++c)
                if (cells[c]) t.glyphs[c][p.position] = unicode::encodeUtf8(std::u32string(1, cells[c]));
        }
        auto add = [&](Colour colour, const std::string& text, int position) {
            auto& glyphs = t.glyphs[size_t(colour)];
            auto it = glyphs.find(position);
            if (text.empty() || it == glyphs.end()) return;
            t.legends[size_t(colour)][text] = {it->second, position};
        };
        for (const KeySpec& key : CalculatorModel::hp15c().keys) {
            add(Colour::primary, key.name, key.code);
            add(Colour::primary, key.face, key.code);
            add(Colour::gold, key.f, key.code);
            add(Colour::blue, key.g, key.code);
        }
        for (const ExtraLegend& e : kExtraLegends) add(e.colour, e.text, e.position);
        return t;
    }();
    return cached;
}

std::optional<KeyGlyphRun> lookUp(const std::string& token, std::initializer_list<Colour> colours) {
    std::vector<std::string> candidates{token};
    if (token.size() > 1 && token.back() == '?' && token != "F?") candidates.push_back(token.substr(0, token.size() - 1));
    for (const std::string& candidate : candidates) {
        for (Colour colour : colours) {
            const auto& legends = tables().legends[size_t(colour)];
            if (auto it = legends.find(candidate); it != legends.end()) return KeyGlyphRun{it->second.first, token};
        }
    }
    return std::nullopt;
}

const KeyGlyphRun kF{"\u00B4", "f"};
const KeyGlyphRun kG{"|", "g"};

} // namespace

const std::map<int, std::string>& HP15CKeyGlyphs::glyphs(Colour colour) { return tables().glyphs[size_t(colour)]; }

const std::map<std::string, std::pair<std::string, int>>& HP15CKeyGlyphs::legends(Colour colour) {
    return tables().legends[size_t(colour)];
}

std::optional<std::vector<KeyGlyphRun>> HP15CKeyGlyphs::runs(const ProgramLine& line) {
    std::vector<std::string> tokens;
    size_t start = 0;
    const std::string& m = line.mnemonic;
    while (start <= m.size()) {
        size_t end = m.find(' ', start);
        if (end == std::string::npos) end = m.size();
        if (end > start) tokens.push_back(m.substr(start, end - start));
        start = end + 1;
    }
    if (tokens.empty()) return std::nullopt;

    std::vector<KeyGlyphRun> result;
    Colour shift = Colour::primary;
    if (line.prefix == "f") {
        result.push_back(kF);
        shift = Colour::gold;
    } else if (line.prefix == "g") {
        result.push_back(kG);
        shift = Colour::blue;
    }
    auto first = lookUp(tokens[0], {shift, Colour::gold, Colour::primary, Colour::blue});
    if (!first) return std::nullopt;
    result.push_back(*first);
    for (size_t i = 1; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        if (token == "f") {
            result.push_back(kF);
        } else if (token == "g") {
            result.push_back(kG);
        } else if (auto run = lookUp(token, {Colour::gold, Colour::primary, Colour::blue})) {
            result.push_back(*run);
        } else {
            for (char32_t c : unicode::decodeUtf8(token)) {
                auto one = lookUp(unicode::encodeUtf8(std::u32string(1, c)), {Colour::primary, Colour::gold});
                if (!one) return std::nullopt;
                result.push_back(*one);
            }
        }
    }
    return result;
}

} // namespace tw
