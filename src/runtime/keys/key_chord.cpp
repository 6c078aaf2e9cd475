#include "runtime/keys/key_chord.h"

#include <vector>

namespace tw {

namespace {

struct ChordText {
    std::string_view rawValue;
    std::vector<int> keys;
    std::string_view name;
    std::string_view recipe;
    std::string_view help;
};

// Indexed by case. "−" is U+2212, "×" U+00D7, "÷" U+00F7.
const std::array<ChordText, 7>& chordTexts() {
    static const std::array<ChordText, 7> texts = {{
        {"serviceMenu", {32, 25}, "Service Menu", "g-ENTER-ON",
         "Checksum (2), model (4), speed (5), key settings (6-8). ON leaves the menu."},
        {"usbMode", {31, 25}, "USB Mode", "f-ENTER-ON",
         "On the calculator this waits for OrvaneSave over USB. There is no USB in the app: the calculator just "
         "turns on."},
        {"memoryReset", {29}, "Memory Reset", "ON + −", "Clears all programs, registers and settings (Pr Error)."},
        {"selfTest", {19}, "Self-Test", "ON + ×",
         "Runs the calculator's self-test and shows all segments when it passes."},
        {"selfTestLoop", {39}, "Continuous Self-Test", "ON + +", "Repeats the self-test until you press a key."},
        {"keyboardTest", {9}, "Keyboard Test", "ON + ÷", "Press every key in order, row by row; ON ends the test."},
        {"radixMark", {37}, "Swap Decimal Point and Comma", "ON + .",
         "Switches the number display between 1,234.56 and 1.234,56."},
    }};
    return texts;
}

const ChordText& textOf(KeyChord chord) { return chordTexts()[static_cast<size_t>(chord.value())]; }

constexpr std::array<KeyChord, 7> kAllCases = {
    KeyChord::serviceMenu,  KeyChord::usbMode,      KeyChord::memoryReset, KeyChord::selfTest,
    KeyChord::selfTestLoop, KeyChord::keyboardTest, KeyChord::radixMark,
};

} // namespace

std::span<const KeyChord> KeyChord::allCases() { return kAllCases; }

std::string_view KeyChord::rawValue() const { return textOf(*this).rawValue; }

std::optional<KeyChord> KeyChord::fromRawValue(std::string_view text) {
    for (KeyChord chord : kAllCases)
        if (chord.rawValue() == text) return chord;
    return std::nullopt;
}

std::span<const int> KeyChord::keys() const { return textOf(*this).keys; }

std::string_view KeyChord::name() const { return textOf(*this).name; }

std::string_view KeyChord::recipe() const { return textOf(*this).recipe; }

std::string_view KeyChord::help() const { return textOf(*this).help; }

std::string KeyChord::title() const {
    return std::string(name()) + " (" + std::string(recipe()) + ")";
}

} // namespace tw
