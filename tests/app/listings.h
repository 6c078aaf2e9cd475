// Program listings recorded on our HP-15C test firmware, for the notes and the
// documentation tests.
#pragma once

#include "runtime/support/firmware_calculator.h"

#include <vector>

namespace tw::test {

// The inspection of a fresh HP-15C machine after recording the keys as a program.
inline InspectorSnapshot recordedProgram(const std::vector<int>& steps) {
    auto machine = startedCalculator(Firmware::Hp15c);
    keys(*machine, {kG, kRunStop});
    keys(*machine, steps);
    keys(*machine, {kG, kRunStop});
    return *machine->inspect();
}

inline const std::vector<int> sumProgram{k2, kEnter, k3, kPlus, kSto, k1};
// The same program with a step put in front of it.
inline const std::vector<int> shiftedSumProgram{k7, k2, kEnter, k3, kPlus, kSto, k1};
inline const std::vector<int> otherProgram{k9, k8, kMultiply, kRcl, k2};

// The step number of the first line with these keys; 0 when none.
inline int stepOf(const InspectorSnapshot& snapshot, const std::string& keys) {
    for (const ProgramLine& line : snapshot.program)
        if (line.keys == keys) return line.line;
    return 0;
}

} // namespace tw::test
