// One key of a calculator's 4 x 10 keyboard, as printed and as reached from the
// desktop keyboard.
#pragma once

#include "runtime/catalog/key_shortcut.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// Key codes are row x 10 + column; these are the ones with a role of their own.
namespace keycode {
inline constexpr int enter = 25;
inline constexpr int enterLower = 35; // the cell below ENTER: the same key
inline constexpr int on = 30;
inline constexpr int f = 31;
inline constexpr int g = 32;
} // namespace keycode

enum class KeyStyle { normal, fShift, gShift, enter, on };

// The printed part of a key that a press means: the key, its gold or its blue legend.
enum class KeyPart { face, fLabel, gLabel };

inline constexpr std::array<KeyPart, 3> allKeyParts = {KeyPart::face, KeyPart::fLabel, KeyPart::gLabel};
std::string_view rawValue(KeyPart part); // "face", "fLabel", "gLabel"
std::optional<KeyPart> keyPart(std::string_view rawValue);

struct KeySpec {
    int code = 0;
    std::string name;
    std::string face; // the legend on the key
    std::string f;    // gold legend above the key; empty when none
    std::string g;    // blue legend on the key's front; empty when none
    std::vector<KeyShortcut> shortcuts;
    KeyStyle style = KeyStyle::normal;

    int row() const { return code / 10; }
    int column() const { return code % 10; }
    int rowSpan() const { return style == KeyStyle::enter ? 2 : 1; }

    bool hasF() const { return !f.empty(); }
    bool hasG() const { return !g.empty(); }

    // The shift key to tap before this key to reach that legend: 31 for a gold
    // legend, 32 for a blue one, nothing for the face or a missing legend.
    std::optional<int> shiftCode(KeyPart part) const;
    // The short label of each shortcut, joined by spaces.
    std::string shortcutLabels() const;
    // The key's tooltip: its face, then " — keyboard: " and the shortcuts.
    std::string helpText() const;

    bool operator==(const KeySpec&) const = default;
};

} // namespace tw
