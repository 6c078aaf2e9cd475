#include "runtime/snapshot/number_text.h"

#include <charconv>

namespace tw {

std::string decimalText(std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

std::string zeroPadded(std::int64_t value, int width) {
    std::string text = decimalText(value);
    const std::size_t signLength = value < 0 ? 1 : 0;
    if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
        text.insert(signLength, static_cast<std::size_t>(width) - text.size(), '0');
    }
    return text;
}

} // namespace tw
