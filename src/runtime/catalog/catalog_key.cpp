#include "runtime/catalog/catalog_key.h"

namespace tw {

namespace {

constexpr std::array<std::string_view, 3> kKeyPartNames = {"face", "fLabel", "gLabel"};

} // namespace

std::string_view rawValue(KeyPart part) { return kKeyPartNames[static_cast<size_t>(part)]; }

std::optional<KeyPart> keyPart(std::string_view text) {
    for (KeyPart part : allKeyParts)
        if (rawValue(part) == text) return part;
    return std::nullopt;
}

std::optional<int> KeySpec::shiftCode(KeyPart part) const {
    switch (part) {
    case KeyPart::face: return std::nullopt;
    case KeyPart::fLabel: return hasF() ? std::optional<int>(keycode::f) : std::nullopt;
    case KeyPart::gLabel: return hasG() ? std::optional<int>(keycode::g) : std::nullopt;
    }
    return std::nullopt;
}

std::string KeySpec::shortcutLabels() const {
    std::string text;
    for (size_t i = 0; i < shortcuts.size(); ++i) {
        if (i > 0) text += ' ';
        text += shortcuts[i].shortLabel();
    }
    return text;
}

std::string KeySpec::helpText() const {
    if (shortcuts.empty()) return face;
    std::string text = face + " — keyboard: ";
    for (size_t i = 0; i < shortcuts.size(); ++i) {
        if (i > 0) text += " or ";
        text += shortcuts[i].label();
    }
    return text;
}

} // namespace tw
