// Wrapping text into lines no wider than a width, cutting over-long words between
// user-perceived characters.
#include "docexport/pdf_font_set.h"

#include "docexport/unicode_text.h"

namespace tw {

namespace {

struct Wrapper {
    double maxWidth;
    const PDFStyle& style;
    const PDFFontSet* fonts;
    std::vector<std::string>& lines;
    std::string current;

    bool fits(const std::string& text) const { return PDFFontSet::width(text, style, fonts) <= maxWidth; }

    // Widths never decrease as a prefix grows, so one pass from each piece's start finds its
    // longest fitting prefix; measuring every prefix anew would take cubic time on a long
    // unbroken word (a pasted URL or data blob). The pen adds glyph widths in the same order
    // as placing the prefix would, so the comparison sees the very same numbers.
    void placeWord(const std::string& word) {
        auto chars = unicode::graphemeClusters(unicode::decodeUtf8(word));
        size_t pos = 0;
        for (;;) {
            size_t remaining = chars.size() - pos, fitting = 0;
            double pen = 0;
            for (size_t k = pos; k < chars.size(); ++k) {
                for (const PDFGlyph& g : PDFFontSet::glyphs(unicode::encodeUtf8(chars[k]), style.face, fonts))
                    if (!g.overlay) pen += g.adv / 1000.0 * style.size * g.scale;
                if (!(pen <= maxWidth)) break;
                fitting = k - pos + 1;
            }
            if (fitting == remaining || remaining < 2) {
                current = join(chars, pos, chars.size());
                return;
            }
            size_t taken = fitting >= 2 ? fitting : 1;
            lines.push_back(join(chars, pos, pos + taken));
            pos += taken;
        }
    }

    static std::string join(const std::vector<std::u32string>& chars, size_t from, size_t to) {
        std::u32string text;
        for (size_t k = from; k < to; ++k) text += chars[k];
        return unicode::encodeUtf8(text);
    }

    void addWord(std::string word) {
        std::string candidate = current.empty() ? word : current + " " + word;
        if (fits(candidate)) {
            current = std::move(candidate);
            return;
        }
        if (!current.empty()) lines.push_back(std::move(current));
        current.clear();
        placeWord(word);
    }
};

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

} // namespace

std::vector<std::string> PDFFontSet::wrapLines(std::string_view text, double width, const PDFStyle& style,
                                               const PDFFontSet* fonts) {
    std::vector<std::string> lines;
    for (std::string_view paragraph : split(text, '\n')) {
        Wrapper wrapper{width, style, fonts, lines, {}};
        for (std::string_view word : split(paragraph, ' ')) wrapper.addWord(std::string(word));
        lines.push_back(std::move(wrapper.current));
    }
    return lines;
}

} // namespace tw
