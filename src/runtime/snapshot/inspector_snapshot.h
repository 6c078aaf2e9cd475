// What everything above the emulator sees of the calculator's memory: model
// and mode, stack and storage registers, flags, the program listing and, for
// the HP-15C, the pool, the imaginary stack and the matrices. A plain value.
//
// Reading one from a running calculator belongs to the machine that owns the
// core (its inspect operation); it fills a snapshot from fromStatus(), the
// stackIndices() of the model and the record conversions of each value type.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/tw.h"
#include "runtime/snapshot/matrix_value.h"
#include "runtime/snapshot/pool15.h"
#include "runtime/snapshot/program_line.h"
#include "runtime/snapshot/register_value.h"

namespace tw {

struct InspectorSnapshot {
    int model = 0;   // 12, 15, 16
    int variant = 0; // 120, 150, 152, 160
    int base = 10;
    int wordSize = 0;
    int complement = 0;
    std::uint32_t flags = 0;
    bool programMode = false;
    bool running = false;
    int line = 0;
    int lines = 0;
    int registerCount = 0;
    bool hasI = false;
    bool hasProgram = false;
    bool extendedMemory = false;
    std::vector<RegisterValue> stack;
    std::vector<RegisterValue> registers;
    std::vector<ProgramLine> program;
    std::optional<Pool15> pool;
    std::vector<RegisterValue> imaginary;
    std::vector<MatrixValue> matrices;

    bool operator==(const InspectorSnapshot&) const = default;

    // The fourteen status fields, one to one; every list empty, no pool.
    static InspectorSnapshot fromStatus(const struct tw_memory_status& status);
    // The stack register indices that the core is asked for, in order.
    static std::vector<int> stackIndices(int model, bool hasI);

    // Flags 0 to 9 that are set, ascending.
    std::vector<int> setFlags() const;
    // HP-16C only: "FLOAT", or e.g. "HEX  WSIZE 16  2's".
    std::optional<std::string> modeText() const;
    std::string baseName() const;
    std::string complementName() const;
    bool isComplexMode() const;
    // "matrix B (2×3)" for a matrix descriptor held in a decimal HP-15C register.
    std::optional<std::string> matrixDescriptorText(const RegisterValue& value) const;
    // The imaginary part of stack register "X", "Y", "Z", "T" or "LAST X" in complex mode.
    std::optional<RegisterValue> imaginaryValue(std::string_view name) const;
};

// "BIN", "OCT", "HEX", "FLOAT" for base 0, "DEC" for any other.
std::string baseName(int base);
// "UNSGN", "1's", "2's", the value clamped to 0 to 2.
std::string complementName(int complement);

} // namespace tw
