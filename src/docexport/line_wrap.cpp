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

    void placeWord(std::string word) {
        for (;;) {
            if (fits(word)) {
                current = std::move(word);
                return;
            }
            auto chars = unicode::graphemeClusters(unicode::decodeUtf8(word));
            if (chars.size() < 2) {
                current = std::move(word);
                return;
            }
            size_t taken = 1;
            for (size_t n = chars.size() - 1; n >= 2; --n) {
                std::u32string prefix;
                for (size_t k = 0; k < n; ++k) prefix += chars[k];
                if (fits(unicode::encodeUtf8(prefix))) {
                    taken = n;
                    break;
                }
            }
            std::u32string head, rest;
            for (size_t k = 0; k < chars.size(); ++k) (k < taken ? head : rest) += chars[k];
            lines.push_back(unicode::encodeUtf8(head));
            word = unicode::encodeUtf8(rest);
        }
    }

    void addWord(std::string word) {
        std::string candidate = current.empty() ? word : current + " " + word;
        if (fits(candidate)) {
            current = std::move(candidate);
            return;
        }
        if (!current.empty()) lines.push_back(std::move(current));
        current.clear();
        placeWord(std::move(word));
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
