// Numbers as PDF files write them, independent of the process locale.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>

namespace tw::pdfnum {

// "%.2f" with a point as decimal separator.
inline void appendFixed2(std::string& out, double value) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    out.append(buf, r.ptr);
}

inline std::string fixed2(double value) {
    std::string out;
    appendFixed2(out, value);
    return out;
}

inline std::string integer(int64_t value) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

// "%0<digits>X" of an unsigned value.
inline void appendHex(std::string& out, uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kDigits[(value >> shift) & 0xF]);
}

} // namespace tw::pdfnum
