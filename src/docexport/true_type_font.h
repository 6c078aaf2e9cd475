// A parsed TrueType font: the metrics, names, character map and glyph locations that the
// PDF writer needs, and a subsetter that keeps only the glyphs a document uses.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace tw {

class TrueTypeFont {
public:
    // Why a font file was refused. The application words the message for the user.
    struct FontError : std::exception {
        enum class Kind { missingTable, notTrueType };
        Kind kind;
        std::string tag; // the missing table's tag

        static FontError missingTable(std::string tag) { return {Kind::missingTable, std::move(tag)}; }
        static FontError notTrueType() { return {Kind::notTrueType, {}}; }
        const char* what() const noexcept override {
            return kind == Kind::missingTable ? "missing font table" : "not a TrueType font";
        }

    private:
        FontError(Kind k, std::string t) : kind(k), tag(std::move(t)) {}
    };

    using Bytes = std::vector<uint8_t>;
    using Table = std::span<const uint8_t>;

    // Every table by its tag: views into the font's own copy of the file, which copies of
    // the font share (a file may point many records at the same bytes).
    std::map<std::string, Table> tables;
    int unitsPerEm = 0;
    int numGlyphs = 0;
    int ascent = 0;
    int descent = 0;
    std::array<int, 4> bbox{}; // xMin, yMin, xMax, yMax
    std::string postScriptName;
    std::string familyName;
    std::vector<int> advances;            // numGlyphs entries, font units
    std::map<uint32_t, uint16_t> cmap;    // only non-zero glyph ids
    std::vector<uint32_t> glyphOffsets;   // numGlyphs + 1 offsets into "glyf"

    // Throws FontError.
    explicit TrueTypeFont(std::span<const uint8_t> data);

    bool hasGlyph(char32_t scalar) const;
    // Whether glyph g lies below numGlyphs and has outline data.
    bool hasOutline(uint16_t glyph) const;
    uint16_t glyphID(char32_t scalar) const;
    double advance(uint16_t glyph) const; // thousandths of the font size
    double scaled(double fontUnits) const;

    // A font file that keeps the given glyphs (and glyph 0, and composite components).
    Bytes subset(const std::set<uint16_t>& glyphs) const;

    // Writes a font file of the given tables (tags in ascending order).
    static Bytes writeFontFile(const std::map<std::string, Bytes>& tables);

private:
    std::shared_ptr<const Bytes> file_;
};

} // namespace tw
