// The HP-15C register pool: where storage, matrices, the imaginary stack, the
// SOLVE/integrate workspace and the program lie, with the texts that show it.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "core/tw.h"

namespace tw {

// The letter "A" to "E" of matrix index 0 to 4 (clamped).
std::string matrixLetter(int index);

struct Pool15 {
    // What a stretch of pool registers holds.
    struct Kind {
        enum class Case { matrix, workspace, free, complex, storage, program };
        Case kind = Case::free;
        int matrix = 0; // the matrix index 0 to 4; only for Case::matrix

        static Kind ofMatrix(int index) { return Kind{Case::matrix, index}; }
        static Kind of(Case kind) { return Kind{kind, 0}; }

        bool operator==(const Kind&) const = default;
        // The segment label with "R2…" for storage.
        std::string shortLabel() const;
    };

    // Identified by id().
    struct Segment {
        Kind kind;
        int first = 0; // the first pool register
        int count = 0; // registers

        bool operator==(const Segment&) const = default;
        int id() const { return first * 16 + count % 16; }
        std::string label() const;
    };

    int variant = 150;
    int base = 160;
    int top = 256;
    int data = 178;
    std::array<int, 5> starts{};
    int pool = 178;
    std::array<int, 5> rows{};
    std::array<int, 5> cols{};
    int result = 0;
    bool complex = false;
    int scratch = 0;
    int gap = 0;
    int storage = 0;
    int dimI = 1;
    int matrixRegisters = 0;
    int programLow = 256;
    int programRegisters = 0;
    int programBytes = 0;
    int free = 0;
    std::string gmem;

    bool operator==(const Pool15&) const = default;

    static Pool15 fromRecord(const tw_pool& record);

    std::vector<Segment> segments() const;
    // "g MEM <gmem>  ·  pool <n> registers + R0, R1"
    std::string summary() const;
    int registerCount() const { return top - base; }
    // "<rows>×<cols>" of matrix index 0 to 4.
    std::string dimensionText(int index) const;
    std::string resultLetter() const;
};

} // namespace tw

template <>
struct std::hash<tw::Pool15::Kind> {
    std::size_t operator()(const tw::Pool15::Kind& kind) const noexcept {
        return static_cast<std::size_t>(kind.kind) * 8 + static_cast<std::size_t>(kind.matrix & 7);
    }
};
