#include "ui/keyboard/desktop_key_table.h"

#include <QKeyEvent>

#include <array>

namespace tw {

namespace {

struct SpecialRow {
    int key;
    SpecialKey special;
};

// With NumLock off the keypad sends the navigation keys printed on it (4 is Left,
// the point is Delete) and they mean what they say; with NumLock on it sends its
// digits, point and operators as characters, like the main block. Its Enter is
// Key_Enter either way.
constexpr std::array<SpecialRow, 11> kSpecialKeys = {{
    {Qt::Key_Return, SpecialKey::returnKey},
    {Qt::Key_Enter, SpecialKey::returnKey},
    {Qt::Key_Tab, SpecialKey::tab},
    {Qt::Key_Backtab, SpecialKey::tab}, // Shift+Tab
    {Qt::Key_Backspace, SpecialKey::deleteKey},
    {Qt::Key_Delete, SpecialKey::deleteKey},
    {Qt::Key_Escape, SpecialKey::escape},
    {Qt::Key_Left, SpecialKey::leftArrow},
    {Qt::Key_Right, SpecialKey::rightArrow},
    {Qt::Key_Down, SpecialKey::downArrow},
    {Qt::Key_Up, SpecialKey::upArrow},
}};

bool printable(char32_t c) { return c >= 0x20 && c != 0x7F && c < 0x110000; }

} // namespace

std::optional<KeyShortcut> shortcutForKeyEvent(const QKeyEvent& event) {
    for (const SpecialRow& row : kSpecialKeys)
        if (event.key() == row.key) return KeyShortcut::special(row.special);

    if (event.modifiers() & Qt::AltModifier) {
        // Qt names a printing key by its Unicode character (letters in upper case).
        const int key = event.key();
        if (key > 0 && key < 0x01000000 && printable(static_cast<char32_t>(key)))
            return KeyShortcut::character(static_cast<char32_t>(key));
        return std::nullopt;
    }
    const QList<uint> characters = event.text().toUcs4();
    if (characters.isEmpty() || !printable(characters.front())) return std::nullopt;
    return KeyShortcut::character(characters.front());
}

} // namespace tw
