#include "runtime/snapshot/utf8.h"

#include "core/wrapper/utf8_text.h"

namespace tw {

std::string repairUtf8(std::string_view text) { return utf8Repaired(text); }

std::string recordText(const char* field, std::size_t size) {
    std::size_t length = 0;
    while (length < size && field[length] != '\0') ++length;
    return repairUtf8(std::string_view(field, length));
}

} // namespace tw
