#include "runtime/catalog/KeyShortcut.h"

namespace {

// Letter case of the characters a keyboard gives: ASCII and Latin-1 letters.
char32_t lower(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    return c;
}

char32_t upper(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
    return c;
}

} // namespace

std::string utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

KeyShortcut KeyShortcut::lowercased() const {
    return isCharacter() ? character(lower(asCharacter())) : *this;
}

std::string KeyShortcut::label() const {
    return isCharacter() ? utf8(upper(asCharacter())) : std::string(::label(asSpecial()));
}

std::string KeyShortcut::shortLabel() const {
    if (!isCharacter() && asSpecial() == SpecialKey::returnKey) return "⏎";
    return label();
}
