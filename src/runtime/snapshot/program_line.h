// One step of the program listing as the inspection shows it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/tw.h"

namespace tw {

// Identified by `line` in lists.
struct ProgramLine {
    int line = 0;
    std::string keys;
    std::string mnemonic;
    std::string prefix;               // "", "f" or "g"
    std::vector<std::uint8_t> bytes;  // the step's bytes, at most 2

    bool operator==(const ProgramLine&) const = default;

    static ProgramLine fromRecord(const tw_prog_line& record);

    // The line number with three digits at least ("001").
    std::string lineText() const;
    // "g LBL A" for a shifted step, the mnemonic alone otherwise.
    std::string mnemonicWithPrefix() const;
};

} // namespace tw
