// One desktop key that presses a calculator key: a character or a special key.
#pragma once

#include "runtime/catalog/special_key.h"

#include <functional>
#include <string>
#include <variant>

namespace tw {

class KeyShortcut {
public:
    static KeyShortcut character(char32_t c) { return KeyShortcut(c); }
    static KeyShortcut special(SpecialKey key) { return KeyShortcut(key); }

    bool isCharacter() const { return std::holds_alternative<char32_t>(value_); }
    // Only for a character shortcut / only for a special one.
    char32_t asCharacter() const { return std::get<char32_t>(value_); }
    SpecialKey asSpecial() const { return std::get<SpecialKey>(value_); }

    // The same shortcut with its character in lower case; a special key unchanged.
    KeyShortcut lowercased() const;

    // A character in upper case, or the special key's label.
    std::string label() const;
    // The same, except that Return is "⏎" alone.
    std::string shortLabel() const;

    // A character never equals a special key.
    bool operator==(const KeyShortcut&) const = default;

    size_t hash() const { return std::hash<std::variant<char32_t, SpecialKey>>{}(value_); }

private:
    explicit KeyShortcut(char32_t c) : value_(c) {}
    explicit KeyShortcut(SpecialKey key) : value_(key) {}
    std::variant<char32_t, SpecialKey> value_;
};

} // namespace tw

template <>
struct std::hash<tw::KeyShortcut> {
    size_t operator()(const tw::KeyShortcut& shortcut) const noexcept { return shortcut.hash(); }
};

namespace tw {

// One character as UTF-8.
std::string utf8(char32_t c);

} // namespace tw
