#include "runtime/catalog/key_shortcut.h"

#include "core/wrapper/utf8_text.h"

namespace tw {

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
    appendUtf8(out, c);
    return out;
}

KeyShortcut KeyShortcut::lowercased() const {
    return isCharacter() ? character(lower(asCharacter())) : *this;
}

std::string KeyShortcut::label() const {
    return isCharacter() ? utf8(upper(asCharacter())) : std::string(tw::label(asSpecial()));
}

std::string KeyShortcut::shortLabel() const {
    if (!isCharacter() && asSpecial() == SpecialKey::returnKey) return "⏎";
    return label();
}

} // namespace tw
