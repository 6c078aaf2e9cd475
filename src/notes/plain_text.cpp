// The documentation as one plain text, columns aligned with spaces.
#include <algorithm>

#include "notes/program_document_content.h"
#include "notes/text_layout.h"
#include "runtime/snapshot/number_text.h"

namespace tw {

namespace {

constexpr std::size_t kMemoryLabelWidth = 16;

// A cell or a one-line fact: a tab or line break in a user's note must not
// break the columns, so each becomes a space.
ProgramDocumentContent::Cells cells(const std::string& a, const std::string& b, const std::string& c,
                                    const std::string& d) {
    return {singleLine(a), singleLine(b), singleLine(c), singleLine(d)};
}

bool isSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::string ProgramDocumentContent::tableLine(const Cells& row, const std::array<std::size_t, 4>& widths) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0) line += "  ";
        line += i + 1 < row.size() ? padRight(row[i], widths[i]) : row[i];
    }
    const auto first = std::find_if_not(line.begin(), line.end(), isSpaceOrTab);
    const auto last = std::find_if_not(line.rbegin(), line.rend(), isSpaceOrTab).base();
    return first < last ? std::string(first, last) : std::string();
}

void ProgramDocumentContent::appendTable(const Cells& header, const std::vector<Cells>& rows,
                                         std::vector<std::string>& out) {
    std::array<std::size_t, 4> widths{};
    for (std::size_t i = 0; i < 4; ++i) {
        widths[i] = characterCount(header[i]);
        for (const Cells& row : rows) widths[i] = std::max(widths[i], characterCount(row[i]));
    }
    out.push_back(tableLine(header, widths));
    Cells dashes;
    for (std::size_t i = 0; i < 4; ++i) dashes[i] = std::string(widths[i], '-');
    out.push_back(tableLine(dashes, widths));
    for (const Cells& row : rows) out.push_back(tableLine(row, widths));
}

std::string ProgramDocumentContent::plainText() const {
    std::vector<std::string> out;
    const std::string title = singleLine(displayTitle());
    out.push_back(title);
    out.push_back(std::string(std::max<std::size_t>(8, characterCount(title)), '='));
    out.push_back("Model:     " + singleLine(info.modelName));
    if (!info.firmware.empty()) out.push_back("Firmware:  " + singleLine(info.firmware));
    if (!info.memoryFile.empty()) out.push_back("Memory:    " + singleLine(info.memoryFile));
    out.push_back("Steps:     " + decimalText(static_cast<std::int64_t>(lines.size())));
    out.push_back("Date:      " + info.dateText());
    if (!doc.author.empty()) out.push_back("Author:    " + singleLine(doc.author));
    if (!doc.description.empty()) {
        out.push_back("");
        out.push_back(plainLines(doc.description));
    }

    const auto section = [&](const char* heading) {
        out.push_back("");
        out.push_back(heading);
        out.push_back("");
    };

    if (const auto labels = labelRows(); !labels.empty()) {
        section("LABELS");
        std::vector<Cells> rows;
        for (const auto& r : labels) rows.push_back(cells(r.label, r.defined, r.called, r.notes));
        appendTable({"Label", "Defined", "Called from", "Notes"}, rows, out);
    }

    const auto registers = registerRows();
    const auto flags = flagRows();
    if (!registers.empty() || !flags.empty()) {
        section("REGISTERS AND FLAGS");
        std::vector<Cells> rows;
        for (const auto* group : {&registers, &flags}) {
            for (const auto& r : *group) rows.push_back(cells(r.reg, r.use, r.steps, r.name));
        }
        appendTable({"Register", "Use", "Steps", "Name / meaning"}, rows, out);
    }

    if (const auto memory = memoryRows(); !memory.empty()) {
        section("MEMORY CONFIGURATION");
        for (const auto& row : memory) {
            out.push_back(padRight(leftCharacters(singleLine(row.label), kMemoryLabelWidth), kMemoryLabelWidth) +
                          singleLine(row.value));
        }
    }

    if (const auto matrices = matrixRows(); !matrices.empty()) {
        section("MATRICES AND COMPLEX");
        std::vector<Cells> rows;
        for (const auto& r : matrices) rows.push_back(cells(r.item, r.operations, r.steps, r.notes));
        appendTable({"Item", "Operations", "Steps", "Notes"}, rows, out);
    }

    section("LISTING");
    std::vector<Cells> listing;
    for (const auto& r : listingRows()) listing.push_back(cells(r.step, r.screen, r.keys, r.comment));
    appendTable({"Step", "Display", "Keys", "Comment"}, listing, out);

    if (const auto orphans = doc.orphanedComments(); !orphans.empty()) {
        section("COMMENTS NO LONGER MATCHING A STEP");
        for (const StepComment& c : orphans) {
            out.push_back("was " + zeroPadded(c.step, 3) + " (" + singleLine(c.keys) + "): " + singleLine(c.text));
        }
    }

    std::string text;
    for (const std::string& line : out) {
        text += line;
        text += '\n';
    }
    return text;
}

} // namespace tw
