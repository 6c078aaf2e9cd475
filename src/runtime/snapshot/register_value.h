// One register of the inspection: a stack, storage, imaginary or matrix value.
#pragma once

#include <cstdint>
#include <string>

#include "core/tw.h"

namespace tw {

// Identified by `name` in lists.
struct RegisterValue {
    std::string name;
    std::string text;
    std::string decimal;
    bool isInteger = false;
    bool isNegative = false;
    double number = 0;
    std::uint64_t word = 0;
    std::uint64_t raw = 0;

    bool operator==(const RegisterValue&) const = default;

    static RegisterValue fromRecord(const tw_register& record);

    // An HP-15C matrix descriptor in `raw`: nibble 13 is 1, nibbles 0 to 11
    // are 0 and nibble 12 is 10 to 14 (matrix A to E). Nibbles 14 and 15 are
    // not looked at. Whether the value is decimal is the snapshot's question.
    bool hasMatrixDescriptor() const;
    // The matrix index 0 to 4 of a descriptor, else 0.
    int descriptorMatrixIndex() const;
};

} // namespace tw
