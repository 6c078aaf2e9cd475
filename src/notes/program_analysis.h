// What a calculator program uses, read from the text of its listing: labels
// with their definitions and calls, registers with their operations, flags,
// and for the HP-15C the matrix, complex and SOLVE/integrate operations.
// A pure computation over the mnemonics, word by word.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/snapshot/program_line.h"

namespace tw {

class ProgramAnalysis {
public:
    // Each record is identified in lists by its name (item), unique within one analysis.
    struct Label {
        std::string name; // "A", "3", ".5", "05" (HP-12C line), "I (indirect)"
        std::vector<int> defined;
        std::vector<int> called;
        std::vector<std::string> callKinds; // "GTO", "GSB", "SOLVE", "∫ʸₓ"
        bool isIndirect = false;
        bool operator==(const Label&) const = default;
    };

    enum class RegisterKind { storage = 0, index = 1, indirect = 2, financial = 3, random = 4, matrix = 5, result = 6 };
    static std::optional<RegisterKind> registerKind(int rawValue);

    struct Register {
        std::string name; // "R5", "R.3", "RA", "I", "(i)", "PV", "RAN#", "Matrix B", "RESULT"
        RegisterKind kind = RegisterKind::storage;
        std::vector<int> steps;
        std::vector<std::string> operations; // "STO", "RCL ×", "x≷", "DSE", "STO MATRIX", "(i)"
        bool operator==(const Register&) const = default;
    };

    struct Flag {
        std::string name; // "8" or "I (indirect)"
        std::vector<int> steps;
        std::vector<std::string> operations; // "SF", "CF", "F?"
        std::string meaning;
        bool operator==(const Flag&) const = default;
    };

    struct MatrixOp {
        std::string item; // "Matrix A", "RESULT", "MATRIX n", "DIM (i)", "Complex", "SOLVE/∫ workspace"
        std::vector<int> steps;
        std::vector<std::string> operations;
        std::vector<std::string> notes;
        bool operator==(const MatrixOp&) const = default;
    };

    // `model` is the model number 12, 15 or 16 (the HP-15C's 15.2 mode is 15).
    ProgramAnalysis(const std::vector<ProgramLine>& lines, int model);

    int model = 0;
    std::vector<Label> labels;
    std::vector<Register> registers;
    std::vector<Flag> flags;
    std::vector<MatrixOp> matrixOps; // HP-15C only

    bool operator==(const ProgramAnalysis&) const = default;

    std::vector<std::string> labelNames() const;
    // Labels that are called but nowhere defined (the indirect one aside).
    std::vector<std::string> undefinedLabels() const;

    static bool isLabelName(std::string_view name, int model);
    static bool isRegisterName(std::string_view name, int model);

    // The HP-15C operations that lay out or read the memory, in item order.
    static std::vector<MatrixOp> matrixOperations(const std::vector<ProgramLine>& lines);
};

// A mnemonic cut at spaces, empty words dropped.
std::vector<std::string> mnemonicWords(std::string_view mnemonic);

} // namespace tw
