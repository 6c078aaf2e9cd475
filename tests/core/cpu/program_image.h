// The compiled test programs: raw images for flash at 0x4000, started at the
// address in the word at 0x4004 with SP at the top of RAM and LR pointing at the
// halt loop at 0x4000, where the run stops with main's result in r0.
#pragma once

#include "core/cpu/bare_cpu.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tw::test {

inline constexpr uint32_t kProgramBase = 0x4000;
inline constexpr uint32_t kProgramHalt = 0x4000;

inline std::vector<uint8_t> readProgram(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Clears the machine, copies the image and sets the start registers. False when
// the image is empty or does not fit.
inline bool startProgram(BareCpu& m, const std::vector<uint8_t>& image) {
    if (image.size() < 8 || image.size() > kFlashSize - kProgramBase) return false;
    std::fill(m.flash.begin(), m.flash.end(), 0);
    std::fill(m.ram.begin(), m.ram.end(), 0);
    std::copy(image.begin(), image.end(), m.flash.begin() + kProgramBase);
    tw_cpu_reset(&m.cpu);
    m.cpu.regs[13] = kRamBase + kRamSize;
    m.cpu.regs[14] = kProgramHalt | 1;
    m.cpu.regs[15] = m.word(kProgramBase + 4) & ~1u;
    return true;
}

inline std::vector<std::string> splitNames(const std::string& list) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        if (end > start) names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

} // namespace tw::test
