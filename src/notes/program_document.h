// The notes a user keeps about the program in the calculator's memory: title,
// author, description, notes on labels, registers and flags, and at most one
// live comment per program step. A plain value; no file access of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "notes/program_analysis.h"
#include "runtime/snapshot/program_line.h"

namespace tw {

struct RegisterNote {
    std::string name;    // the name the user gives the register
    std::string meaning; // what it holds
    bool operator==(const RegisterNote&) const = default;
};

struct StepComment {
    std::int64_t step = 0;           // the step's line; for an orphan, the line it had last
    std::string text;                // trimmed when set
    std::string keys;                // the step's key text when the comment was attached
    std::vector<std::string> before; // up to two key texts before it, nearest last
    std::vector<std::string> after;  // up to two key texts after it, nearest first
    bool orphaned = false;           // the last rematch found no step for it
    bool operator==(const StepComment&) const = default;
};

class ProgramDocument {
public:
    static constexpr std::string_view formatName = "orvanedoc";

    struct RematchReport {
        std::int64_t kept = 0;
        std::int64_t moved = 0;
        std::int64_t orphaned = 0;
        bool operator==(const RematchReport&) const = default;
    };

    // The bytes are not a program notes file: not JSON, a key missing or of
    // the wrong type, or another format word. Carries no message; the
    // application words it.
    struct CorruptFile {
        bool operator==(const CorruptFile&) const = default;
    };
    using Decoded = std::variant<ProgramDocument, CorruptFile>;

    // What setComment did.
    enum class CommentChange {
        stored,     // the step now has the new comment
        removed,    // an empty text: the step has no live comment any more
        notInListing // the listing has no such step: nothing changed, nothing saved
    };

    struct Context {
        std::vector<std::string> before;
        std::vector<std::string> after;
        bool operator==(const Context&) const = default;
    };

    std::string format{formatName};
    std::int64_t version = 1;
    std::string title;
    std::string author;
    std::string description;
    std::string model; // the model's display name, e.g. "HP-15C"
    std::map<std::string, std::string> labels;
    std::map<std::string, RegisterNote> registers;
    std::map<std::string, std::string> flags;
    std::vector<StepComment> comments;

    bool operator==(const ProgramDocument&) const = default;

    // The notes file: pretty-printed JSON, members sorted by key. Malformed
    // UTF-8 in a text is written as U+FFFD rather than failing.
    std::vector<std::uint8_t> encoded() const;
    // Reads a notes file strictly: every key present with its type.
    static Decoded decode(std::span<const std::uint8_t> data);

    // The notes file beside a memory file: its whole name plus ".orvanedoc".
    static std::filesystem::path sidecarPath(const std::filesystem::path& memoryFile);

    bool isEmpty() const;

    // The live comment of a step.
    std::optional<std::string> comment(std::int64_t step) const;
    // Sets, replaces or (with an empty text) removes the live comment of a step.
    [[nodiscard]] CommentChange setComment(std::string_view text, std::int64_t step,
                                           const std::vector<ProgramLine>& lines);
    std::vector<StepComment> orphanedComments() const;

    // Adds an empty note for every label, register and flag not yet noted.
    void addMissingEntries(const std::vector<ProgramAnalysis::Label>& labelList,
                           const std::vector<ProgramAnalysis::Register>& registerList,
                           const std::vector<ProgramAnalysis::Flag>& flagList);

    // Key texts of up to two lines before and two after the line at `index`
    // (a valid index into `lines`).
    static Context contextKeys(const std::vector<ProgramLine>& lines, std::size_t index);

    // "07" for the HP-12C (model 12), "007" for the others; never cut.
    static std::string stepText(std::int64_t step, std::int64_t model);

    // Moves every comment to the step with its keys in the most similar
    // neighbourhood, close to where it was; orphans those that find none.
    RematchReport rematch(const std::vector<ProgramLine>& lines);
    // How many of the comment's stored neighbours the line at `index` repeats.
    static int contextScore(const StepComment& comment, const std::vector<ProgramLine>& lines, std::size_t index);
};

} // namespace tw
