#include "runtime/snapshot/utf8.h"

#include "core/wrapper/utf8_text.h"

namespace tw {

std::string repairUtf8(std::string_view text) { return utf8Repaired(text); }

std::string_view utf8Start(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end; // a continuation byte
    return text.substr(0, end);
}

std::string recordText(const char* field, std::size_t size) {
    std::size_t length = 0;
    while (length < size && field[length] != '\0') ++length;
    return repairUtf8(std::string_view(field, length));
}

} // namespace tw
