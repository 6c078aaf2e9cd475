// Desktop keys without a printing character that can press a calculator key.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tw {

// In this order (the order is the case index). `option` is the Alt key here.
enum class SpecialKey {
    returnKey,
    deleteKey, // raw value "delete"
    escape,
    shift,
    option,
    upArrow,
    downArrow,
    leftArrow,
    rightArrow,
    tab,
};

inline constexpr std::array<SpecialKey, 10> allSpecialKeys = {
    SpecialKey::returnKey, SpecialKey::deleteKey, SpecialKey::escape,    SpecialKey::shift,
    SpecialKey::option,    SpecialKey::upArrow,   SpecialKey::downArrow, SpecialKey::leftArrow,
    SpecialKey::rightArrow, SpecialKey::tab,
};

// The case name as text ("returnKey" ... "tab"), and back; other text gives nothing.
std::string_view rawValue(SpecialKey key);
std::optional<SpecialKey> specialKey(std::string_view rawValue);

// What the user sees for the key, e.g. "⏎ Return".
std::string_view label(SpecialKey key);

} // namespace tw
