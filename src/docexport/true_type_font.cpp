#include "docexport/true_type_font.h"

#include "docexport/unicode_text.h"

#include <algorithm>

namespace tw {

namespace {

using Bytes = TrueTypeFont::Bytes;

// Every read is bounded: a field that does not lie wholly inside its buffer reads as 0.
struct Reader {
    std::span<const uint8_t> bytes;

    bool has(uint64_t offset, uint64_t length) const {
        return offset <= bytes.size() && length <= bytes.size() - offset;
    }
    uint16_t u16(uint64_t at) const { return has(at, 2) ? uint16_t(bytes[at] << 8 | bytes[at + 1]) : 0; }
    int16_t s16(uint64_t at) const { return int16_t(u16(at)); }
    uint32_t u32(uint64_t at) const {
        return has(at, 4) ? uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 |
                                uint32_t(bytes[at + 2]) << 8 | bytes[at + 3]
                          : 0;
    }
};

// A hostile character map can describe billions of code visits (32767 overlapping segments
// of 65535 codes each); real fonts need at most 65536. Past this budget, segments are ignored.
constexpr uint64_t kCmapVisitBudget = uint64_t(1) << 20;

std::map<uint32_t, uint16_t> readFormat4(const Reader& t, uint64_t sub) {
    std::vector<uint16_t> glyphs(0x10000, 0);
    uint32_t segCountX2 = t.u16(sub + 6);
    if (segCountX2 < 2) return {};
    uint32_t segCount = segCountX2 / 2;
    uint64_t endAt = sub + 14, startAt = sub + 16 + segCountX2, deltaAt = sub + 16 + 2 * uint64_t(segCountX2),
             rangeAt = sub + 16 + 3 * uint64_t(segCountX2);
    uint64_t visits = 0;
    for (uint32_t s = 0; s < segCount && visits < kCmapVisitBudget; ++s) {
        uint32_t end = t.u16(endAt + 2 * s), start = t.u16(startAt + 2 * s);
        int delta = t.s16(deltaAt + 2 * s);
        uint64_t rangePos = rangeAt + 2 * s;
        uint32_t rangeOffset = t.u16(rangePos);
        if (end < start || (start == 0xFFFF && end == 0xFFFF)) continue;
        for (uint32_t c = start; c <= end && c != 0xFFFF; ++c) {
            ++visits;
            uint32_t glyph;
            if (rangeOffset == 0) {
                glyph = uint32_t(int(c) + delta) & 0xFFFF;
            } else {
                uint64_t at = rangePos + rangeOffset + 2 * uint64_t(c - start);
                if (!t.has(at, 2)) break;
                uint32_t value = t.u16(at);
                if (value == 0) continue;
                glyph = uint32_t(int(value) + delta) & 0xFFFF;
            }
            if (glyph != 0) glyphs[c] = uint16_t(glyph);
        }
    }
    std::map<uint32_t, uint16_t> map;
    for (uint32_t c = 0; c < 0xFFFF; ++c)
        if (glyphs[c] != 0) map.emplace_hint(map.end(), c, glyphs[c]);
    return map;
}

std::map<uint32_t, uint16_t> readCmap(TrueTypeFont::Table table) {
    Reader t{table};
    if (table.size() < 4 || t.u16(2) == 0) return {};
    uint32_t count = t.u16(2);
    int bestScore = -1;
    uint32_t bestOffset = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t at = 4 + 8 * uint64_t(i);
        if (!t.has(at, 8)) break;
        uint16_t platform = t.u16(at), encoding = t.u16(at + 2);
        int score = platform == 3 && encoding == 1 ? 3 : platform == 0 ? 2 : platform == 3 && encoding == 0 ? 1 : 0;
        if (score > bestScore) {
            bestScore = score;
            bestOffset = t.u32(at + 4);
        }
    }
    if (bestScore < 0 || !t.has(bestOffset, 6)) return {};
    uint16_t format = t.u16(bestOffset);
    if (format == 4) return readFormat4(t, bestOffset);
    if (format != 6 || !t.has(bestOffset, 10)) return {};
    uint32_t first = t.u16(bestOffset + 6), entries = t.u16(bestOffset + 8);
    std::map<uint32_t, uint16_t> map;
    for (uint32_t i = 0; i < entries; ++i) {
        uint64_t at = bestOffset + 10 + 2 * uint64_t(i);
        if (!t.has(at, 2)) continue;
        if (uint16_t glyph = t.u16(at)) map[first + i] = glyph;
    }
    return map;
}

std::string nameText(std::span<const uint8_t> bytes, uint16_t platform) {
    if (platform == 0 || platform == 3) {
        std::u16string units;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) units.push_back(char16_t(bytes[i] << 8 | bytes[i + 1]));
        return unicode::encodeUtf8(unicode::decodeUtf16(units));
    }
    return unicode::encodeUtf8(unicode::decodeUtf8({reinterpret_cast<const char*>(bytes.data()), bytes.size()}));
}

void readNames(TrueTypeFont::Table table, std::string& postScript, std::string& family) {
    Reader t{table};
    if (table.size() < 4 || t.u16(2) == 0) return;
    uint32_t count = t.u16(2), stringOffset = t.u16(4);
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t at = 6 + 12 * uint64_t(i);
        if (!t.has(at, 12)) break;
        uint16_t platform = t.u16(at), nameID = t.u16(at + 6), length = t.u16(at + 8), offset = t.u16(at + 10);
        if (nameID != 1 && nameID != 6) continue;
        uint64_t start = uint64_t(stringOffset) + offset;
        if (start + length > table.size()) continue;
        std::string& target = nameID == 6 ? postScript : family;
        if (!target.empty()) continue;
        target = nameText(table.subspan(start, length), platform);
    }
}

std::string tagText(std::span<const uint8_t> bytes) {
    for (uint8_t b : bytes)
        if (b > 127) return "????";
    return std::string(bytes.begin(), bytes.end());
}

void putU16(Bytes& out, uint32_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void putU32(Bytes& out, uint32_t v) {
    putU16(out, v >> 16);
    putU16(out, v & 0xFFFF);
}

uint32_t checksum(const Bytes& table) {
    uint32_t sum = 0;
    for (size_t i = 0; i < table.size(); i += 4) {
        uint32_t word = 0;
        for (size_t k = 0; k < 4; ++k) word = word << 8 | (i + k < table.size() ? table[i + k] : 0);
        sum += word;
    }
    return sum;
}

} // namespace

TrueTypeFont::TrueTypeFont(std::span<const uint8_t> bytes)
    : file_(std::make_shared<const Bytes>(bytes.begin(), bytes.end())) {
    std::span<const uint8_t> data(*file_);
    Reader file{data};
    if (data.size() < 13) throw FontError::notTrueType();
    uint32_t version = file.u32(0);
    if (version != 0x00010000 && version != 0x74727565) throw FontError::notTrueType();
    uint32_t numTables = file.u16(4);
    for (uint32_t i = 0; i < numTables; ++i) {
        uint64_t at = 12 + 16 * uint64_t(i);
        if (!file.has(at, 16)) throw FontError::notTrueType();
        uint32_t offset = file.u32(at + 8), length = file.u32(at + 12);
        if (!file.has(offset, length)) throw FontError::notTrueType();
        tables[tagText(data.subspan(at, 4))] = data.subspan(offset, length);
    }
    for (const char* tag : {"head", "hhea", "maxp", "hmtx", "loca", "glyf"})
        if (!tables.count(tag)) throw FontError::missingTable(tag);

    Table headBytes = tables["head"];
    Reader head{headBytes};
    // The subsetter rewrites indexToLocFormat at 50, and the metrics divide by unitsPerEm:
    // a font that lacks either cannot be embedded.
    unitsPerEm = head.u16(18);
    if (headBytes.size() < 52 || unitsPerEm == 0) throw FontError::notTrueType();
    bbox = {head.s16(36), head.s16(38), head.s16(40), head.s16(42)};
    bool longLoca = head.u16(50) == 1;

    numGlyphs = Reader{tables["maxp"]}.u16(4);
    Reader hhea{tables["hhea"]};
    ascent = hhea.s16(4);
    descent = hhea.s16(6);
    int numberOfHMetrics = hhea.u16(34);

    Reader hmtx{tables["hmtx"]};
    advances.resize(size_t(numGlyphs));
    for (int g = 0; g < numGlyphs; ++g) advances[size_t(g)] = hmtx.u16(4 * uint64_t(std::min(g, std::max(numberOfHMetrics - 1, 0))));

    Reader loca{tables["loca"]};
    glyphOffsets.resize(size_t(numGlyphs) + 1);
    for (int k = 0; k <= numGlyphs; ++k)
        glyphOffsets[size_t(k)] = longLoca ? loca.u32(4 * uint64_t(k)) : 2 * uint32_t(loca.u16(2 * uint64_t(k)));

    if (auto it = tables.find("cmap"); it != tables.end()) cmap = readCmap(it->second);

    std::string postScript;
    if (auto it = tables.find("name"); it != tables.end()) readNames(it->second, postScript, familyName);
    else postScript = "Font";
    if (postScript.empty()) postScript = familyName;
    std::u32string kept;
    for (char32_t c : unicode::decodeUtf8(postScript))
        if (c == U'-' || unicode::isLetterOrNumber(c)) kept.push_back(c);
    postScriptName = unicode::encodeUtf8(kept);
}

uint16_t TrueTypeFont::glyphID(char32_t scalar) const {
    auto it = cmap.find(uint32_t(scalar));
    return it == cmap.end() ? 0 : it->second;
}

bool TrueTypeFont::hasOutline(uint16_t g) const {
    return g < numGlyphs && size_t(g) + 1 < glyphOffsets.size() && glyphOffsets[g] < glyphOffsets[size_t(g) + 1];
}

bool TrueTypeFont::hasGlyph(char32_t scalar) const {
    uint16_t g = glyphID(scalar);
    if (g == 0 || g >= numGlyphs) return false;
    return unicode::isWhiteSpace(scalar) || hasOutline(g);
}

double TrueTypeFont::advance(uint16_t glyph) const {
    return glyph < advances.size() ? scaled(advances[glyph]) : 0;
}

double TrueTypeFont::scaled(double fontUnits) const { return fontUnits * 1000.0 / unitsPerEm; }

Bytes TrueTypeFont::subset(const std::set<uint16_t>& glyphs) const {
    Table glyf = tables.at("glyf");
    Reader source{glyf};
    std::set<uint16_t> keep = glyphs;
    keep.insert(0);
    std::vector<uint16_t> work(keep.begin(), keep.end());
    while (!work.empty()) {
        uint16_t g = work.back();
        work.pop_back();
        if (g >= numGlyphs) continue;
        uint64_t start = glyphOffsets[g], end = glyphOffsets[size_t(g) + 1];
        if (end < start || end - start < 10 || start + 10 > glyf.size() || source.s16(start) >= 0) continue;
        end = std::min<uint64_t>(end, glyf.size());
        uint64_t p = start + 10;
        while (p + 4 <= end) {
            uint8_t flags = uint8_t(source.u16(p));
            uint16_t component = source.u16(p + 2);
            if (keep.insert(component).second) work.push_back(component);
            p += (flags & 1) ? 8 : 6;
            p += (flags & 8) ? 2 : (flags & 0x40) ? 4 : (flags & 0x80) ? 8 : 0;
            if (!(flags & 0x20)) break;
        }
    }

    Bytes newGlyf, newLoca;
    for (int g = 0; g < numGlyphs; ++g) {
        putU32(newLoca, uint32_t(newGlyf.size()));
        if (!keep.count(uint16_t(g))) continue;
        uint64_t start = glyphOffsets[size_t(g)], end = std::min<uint64_t>(glyphOffsets[size_t(g) + 1], glyf.size());
        if (start < end) {
            newGlyf.insert(newGlyf.end(), glyf.begin() + ptrdiff_t(start), glyf.begin() + ptrdiff_t(end));
            while (newGlyf.size() % 4) newGlyf.push_back(0);
        }
    }
    putU32(newLoca, uint32_t(newGlyf.size()));

    Bytes head(tables.at("head").begin(), tables.at("head").end());
    std::fill(head.begin() + 8, head.begin() + 12, 0);
    head[50] = 0;
    head[51] = 1;

    std::map<std::string, Bytes> out{{"head", head}, {"loca", newLoca}, {"glyf", newGlyf}};
    for (const char* tag : {"hhea", "hmtx", "maxp", "cvt ", "fpgm", "prep"})
        if (auto it = tables.find(tag); it != tables.end()) out.emplace(tag, Bytes(it->second.begin(), it->second.end()));
    return writeFontFile(out);
}

Bytes TrueTypeFont::writeFontFile(const std::map<std::string, Bytes>& tables) {
    uint32_t n = uint32_t(tables.size());
    uint32_t entrySelector = 0;
    while ((2u << entrySelector) <= n) ++entrySelector;
    uint32_t searchRange = 16u << entrySelector;
    Bytes out;
    putU32(out, 0x00010000);
    putU16(out, n);
    putU16(out, searchRange);
    putU16(out, n == 0 ? 0 : entrySelector);
    putU16(out, 16 * n - searchRange);
    uint32_t offset = 12 + 16 * n;
    for (const auto& [tag, bytes] : tables) {
        for (size_t i = 0; i < 4; ++i) out.push_back(i < tag.size() ? uint8_t(tag[i]) : uint8_t(' '));
        putU32(out, checksum(bytes));
        putU32(out, offset);
        putU32(out, uint32_t(bytes.size()));
        offset += uint32_t((bytes.size() + 3) / 4 * 4);
    }
    for (const auto& [tag, bytes] : tables) {
        out.insert(out.end(), bytes.begin(), bytes.end());
        while (out.size() % 4) out.push_back(0);
    }
    return out;
}

} // namespace tw
