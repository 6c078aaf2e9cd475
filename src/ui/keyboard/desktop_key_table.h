// Which calculator shortcut a desktop key event stands for.
#pragma once

#include "runtime/catalog/key_shortcut.h"

#include <optional>

class QKeyEvent;

namespace tw {

// A special key by its Qt key code (the same row for the main block and the keypad),
// else the typed character; with Alt held the key's own character, so that Alt does
// not change what is looked up. Nothing for a key without either.
std::optional<KeyShortcut> shortcutForKeyEvent(const QKeyEvent& event);

} // namespace tw
