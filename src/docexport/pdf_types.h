// Value types of the documentation PDF: paper, faces, glyphs, colours and text styles.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

enum class PDFPaper { a4, letter };

struct PDFSize {
    double width, height;
};

constexpr std::array<PDFPaper, 2> kAllPapers{PDFPaper::a4, PDFPaper::letter};
std::string_view rawValue(PDFPaper paper);
std::string_view displayName(PDFPaper paper);
PDFSize paperSize(PDFPaper paper);
std::optional<PDFPaper> paperFromRawValue(std::string_view raw);

// The seven faces; the raw value is the number of the font resource /F1 to /F7.
enum class PDFFace : uint8_t { regular = 1, bold, mono, monoBold, symbol, keys, display };

constexpr std::array<PDFFace, 7> kAllFaces{PDFFace::regular, PDFFace::bold, PDFFace::mono, PDFFace::monoBold,
                                           PDFFace::symbol,  PDFFace::keys, PDFFace::display};
constexpr int rawValue(PDFFace face) { return int(face); }
constexpr bool isEmbedded(PDFFace face) { return face == PDFFace::keys || face == PDFFace::display; }
constexpr PDFFace fallback(PDFFace face) {
    return face == PDFFace::keys ? PDFFace::regular : face == PDFFace::display ? PDFFace::monoBold : face;
}
std::optional<PDFFace> faceFromRawValue(int raw);

// One glyph to draw. For a standard face `code` is the one-byte character code; for an
// embedded face it is the TrueType glyph id.
struct PDFGlyph {
    PDFFace face = PDFFace::regular;
    uint16_t code = 0;
    double scale = 1;
    double rise = 0;     // baseline shift upward, as a fraction of the font size
    bool overlay = false; // drawn centred over the preceding glyph, without advancing
    double adv = 0;      // thousandths of the unscaled font size
    std::string text;    // what the glyph stands for (embedded faces only)

    bool operator==(const PDFGlyph&) const = default;
};

struct PDFColor {
    double r = 0, g = 0, b = 0;

    PDFColor() = default;
    PDFColor(double red, double green, double blue) : r(red), g(green), b(blue) {}
    static PDFColor rgb(uint32_t value) {
        return {((value >> 16) & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0, (value & 0xFF) / 255.0};
    }
    static PDFColor black() { return {}; }
    bool operator==(const PDFColor&) const = default;
};

struct PDFStyle {
    PDFFace face = PDFFace::regular;
    double size = 10;
    PDFColor color;
};

// One key legend of the key font: the character to draw and the listing text it stands for.
struct KeyGlyphRun {
    std::string glyph;
    std::string text;
    bool operator==(const KeyGlyphRun&) const = default;
};

} // namespace tw
