#include "runtime/catalog/special_key.h"

namespace tw {

namespace {

struct SpecialKeyText {
    std::string_view rawValue;
    std::string_view label;
};

// Indexed by case.
constexpr std::array<SpecialKeyText, 10> kTexts = {{
    {"returnKey", "⏎ Return"},
    {"delete", "⌫ Delete"},
    {"escape", "esc"},
    {"shift", "⇧ Shift"},
    {"option", "Alt"},
    {"upArrow", "↑"},
    {"downArrow", "↓"},
    {"leftArrow", "←"},
    {"rightArrow", "→"},
    {"tab", "⇥ Tab"},
}};

} // namespace

std::string_view rawValue(SpecialKey key) { return kTexts[static_cast<size_t>(key)].rawValue; }

std::optional<SpecialKey> specialKey(std::string_view text) {
    for (SpecialKey key : allSpecialKeys)
        if (rawValue(key) == text) return key;
    return std::nullopt;
}

std::string_view label(SpecialKey key) { return kTexts[static_cast<size_t>(key)].label; }

} // namespace tw
