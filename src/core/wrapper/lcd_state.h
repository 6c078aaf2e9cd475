// The calculator's display as a value: what the core's LCD record holds, and its text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct tw_lcd;

namespace tw {

struct LCDState {
    std::array<uint8_t, 10> segments{}; // per digit, bits 0..6 = segments a..g
    std::array<bool, 10> dots{};        // decimal point after each digit
    std::array<bool, 10> commas{};      // comma after each digit
    bool minus = false;
    uint64_t annunciatorBits = 0;       // bit numbers as the model's annunciator list gives them
    std::string text;

    // The display of a calculator that is off; equal to a default-made value.
    static const LCDState& blank();

    // From the core's record and the bytes that tw_lcd_text wrote (up to the first zero).
    static LCDState fromRecord(const struct tw_lcd& record, std::string_view textBytes);

    bool operator==(const LCDState&) const = default;
};

} // namespace tw
