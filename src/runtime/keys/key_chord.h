// The calculators' ON-key chords: keys held while ON is pressed and released.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tw {

class KeyChord {
public:
    // In this order (the order is the case index).
    enum Case { serviceMenu, usbMode, memoryReset, selfTest, selfTestLoop, keyboardTest, radixMark };

    constexpr KeyChord(Case value) : value_(value) {}
    constexpr Case value() const { return value_; }

    static std::span<const KeyChord> allCases();
    // The case name as text ("serviceMenu" ... "radixMark"), and back.
    std::string_view rawValue() const;
    static std::optional<KeyChord> fromRawValue(std::string_view text);

    // The key codes held with ON, in the order they go down.
    std::span<const int> keys() const;
    std::string_view name() const;
    std::string_view recipe() const;
    std::string_view help() const;
    // "name (recipe)", the menu entry.
    std::string title() const;
    // Only the memory reset clears the calculator's memory.
    bool isDestructive() const { return value_ == memoryReset; }
    // The HP-16C has no radix-mark chord.
    bool isAvailable(int modelId) const { return !(value_ == radixMark && modelId == 16); }

    constexpr bool operator==(const KeyChord&) const = default;

private:
    Case value_;
};

} // namespace tw
