// Listings written the way the core's decoder prints them.
#pragma once

#include <string>
#include <vector>

#include "runtime/snapshot/program_line.h"

namespace tw::testing {

inline ProgramLine step(int line, std::string mnemonic, std::string keys = {}, std::string prefix = {}) {
    ProgramLine l;
    l.line = line;
    l.mnemonic = std::move(mnemonic);
    l.keys = keys.empty() ? l.mnemonic : std::move(keys);
    l.prefix = std::move(prefix);
    return l;
}

// Consecutive steps from 1, mnemonic and keys alike.
inline std::vector<ProgramLine> listing(const std::vector<std::string>& mnemonics) {
    std::vector<ProgramLine> lines;
    for (std::size_t i = 0; i < mnemonics.size(); ++i) lines.push_back(step(static_cast<int>(i + 1), mnemonics[i]));
    return lines;
}

} // namespace tw::testing
