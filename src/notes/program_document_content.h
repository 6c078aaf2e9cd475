// Everything the documentation of a program shows, gathered once and laid out
// as ready texts, so that the plain-text and PDF writers only place them.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "notes/program_analysis.h"
#include "notes/program_document.h"
#include "runtime/snapshot/pool15.h"
#include "runtime/snapshot/program_line.h"

namespace tw {

// The facts of the documentation that do not come from the notes.
struct ProgramDocumentInfo {
    std::string modelName;  // from modelNameFor(variant, model)
    std::string firmware;   // may be empty
    std::string memoryFile; // may be empty
    std::int64_t model = 0;  // 12, 15 or 16
    std::chrono::system_clock::time_point date;

    // "HP-15C", "HP-15C (15.2)", else "HP-<model>C".
    static std::string modelNameFor(int variant, int model);
    // "6 December 2026": the date in the user's time zone, English month.
    std::string dateText() const;
};

// The listing line as the calculator's display shows it: step, "-", keys,
// filling 10 display positions (commas and points share a digit's place).
std::string screenText(const ProgramLine& line, std::int64_t model);

class ProgramDocumentContent {
public:
    struct LabelRow {
        std::string label, notes, defined, called;
        bool operator==(const LabelRow&) const = default;
    };
    // For registers and for flags.
    struct RegisterRow {
        std::string reg, name, use, steps;
        bool operator==(const RegisterRow&) const = default;
    };
    struct MatrixOpRow {
        std::string item, operations, steps, notes;
        bool operator==(const MatrixOpRow&) const = default;
    };
    struct ListingRow {
        std::string step, screen, keys, comment;
        bool isLabel = false;
        bool operator==(const ListingRow&) const = default;
    };
    struct MemoryRow {
        std::string label, value;
        bool operator==(const MemoryRow&) const = default;
    };

    // The pool is kept only for the HP-15C (model 15).
    ProgramDocumentContent(ProgramDocument doc, ProgramDocumentInfo info, std::vector<ProgramLine> lines,
                           std::optional<Pool15> pool, std::vector<int> setFlags);

    ProgramDocument doc;
    ProgramDocumentInfo info;
    std::vector<ProgramLine> lines;
    ProgramAnalysis analysis;
    std::optional<Pool15> pool;
    std::vector<int> setFlags;

    // The title, else the memory file's name, else "Untitled program".
    std::string displayTitle() const;

    std::vector<LabelRow> labelRows() const;
    std::vector<RegisterRow> registerRows() const;
    std::vector<RegisterRow> flagRows() const;
    std::vector<MatrixOpRow> matrixRows() const;
    std::vector<ListingRow> listingRows() const;
    std::vector<MemoryRow> memoryRows() const;

    LabelRow labelRow(const ProgramAnalysis::Label& label) const;
    RegisterRow registerRow(const ProgramAnalysis::Register& reg) const;
    RegisterRow flagRow(const ProgramAnalysis::Flag& flag) const;
    MatrixOpRow matrixRow(const ProgramAnalysis::MatrixOp& op) const;

    // Step numbers as the model writes them, joined by ", ".
    std::string stepList(const std::vector<int>& steps) const;

    // The documentation as one plain text for a fixed-width font.
    std::string plainText() const;

    using Cells = std::array<std::string, 4>;
    static void appendTable(const Cells& header, const std::vector<Cells>& rows, std::vector<std::string>& out);
    static std::string tableLine(const Cells& cells, const std::array<std::size_t, 4>& widths);
};

} // namespace tw
