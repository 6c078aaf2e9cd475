#include "notes/program_document_content.h"

#include <algorithm>

#include "notes/text_layout.h"
#include "runtime/snapshot/number_text.h"

namespace tw {

namespace {

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += separator;
        text += parts[i];
    }
    return text;
}

template <typename Map>
const typename Map::mapped_type* noteFor(const Map& map, const std::string& name) {
    const auto found = map.find(name);
    return found == map.end() ? nullptr : &found->second;
}

// The last of `dimI` + 1 storage registers: R0 to R9, R.0 to R.9, then R20 on.
std::string lastRegisterName(int dimI) {
    if (dimI >= 10 && dimI <= 19) return "R." + decimalText(dimI - 10);
    return "R" + decimalText(dimI);
}

// Registers that SOLVE and ∫ borrow, from the workspace entry of the analysis.
int workspaceRegisters(const std::vector<ProgramAnalysis::MatrixOp>& ops) {
    const auto entry = std::find_if(ops.begin(), ops.end(), [](const auto& op) { return op.item == "SOLVE/∫ workspace"; });
    if (entry == ops.end()) return 0;
    const auto uses = [&](const char* operation) {
        return std::find(entry->operations.begin(), entry->operations.end(), operation) != entry->operations.end();
    };
    if (uses("∫ʸₓ")) return uses("SOLVE") ? 28 : 23;
    return 5;
}

// One row per entry of an analysis list, in its order.
template <typename List, typename Make>
auto rowsOf(const List& list, Make make) {
    std::vector<decltype(make(list.front()))> rows;
    rows.reserve(list.size());
    for (const auto& entry : list) rows.push_back(make(entry));
    return rows;
}

} // namespace

std::string screenText(const ProgramLine& line, std::int64_t model) {
    std::string text = ProgramDocument::stepText(line.line, model) + "-";
    std::size_t visible = 0;
    for (char32_t c : codePoints(line.keys)) {
        if (c != U',' && c != U'.') ++visible;
    }
    const std::size_t used = characterCount(text) + visible;
    if (used < 10) text.append(10 - used, ' ');
    return text + line.keys;
}

ProgramDocumentContent::ProgramDocumentContent(ProgramDocument document, ProgramDocumentInfo documentInfo,
                                               std::vector<ProgramLine> programLines, std::optional<Pool15> pool15,
                                               std::vector<int> flagsSet)
    : doc(std::move(document)), info(std::move(documentInfo)), lines(std::move(programLines)),
      analysis(lines, static_cast<int>(info.model)), setFlags(std::move(flagsSet)) {
    if (info.model == 15) pool = std::move(pool15);
}

std::string ProgramDocumentContent::displayTitle() const {
    if (!doc.title.empty()) return doc.title;
    if (!info.memoryFile.empty()) return info.memoryFile;
    return "Untitled program";
}

std::string ProgramDocumentContent::stepList(const std::vector<int>& steps) const {
    std::vector<std::string> texts;
    for (int step : steps) texts.push_back(ProgramDocument::stepText(step, info.model));
    return joined(texts, ", ");
}

ProgramDocumentContent::LabelRow ProgramDocumentContent::labelRow(const ProgramAnalysis::Label& label) const {
    LabelRow row;
    if (label.isIndirect) {
        row.label = label.name;
    } else {
        row.label = (info.model == 12 ? "line " : "LBL ") + label.name;
    }
    if (const auto* note = noteFor(doc.labels, label.name)) row.notes = *note;
    row.defined = stepList(label.defined);
    if (row.defined.empty()) row.defined = label.isIndirect ? "computed in I" : "not defined";
    if (label.called.empty()) {
        row.called = "—";
    } else {
        row.called = stepList(label.called);
        if (!label.callKinds.empty()) row.called += " (" + joined(label.callKinds, ", ") + ")";
    }
    return row;
}

ProgramDocumentContent::RegisterRow ProgramDocumentContent::registerRow(const ProgramAnalysis::Register& reg) const {
    RegisterRow row;
    row.reg = reg.name;
    if (const auto* note = noteFor(doc.registers, reg.name)) {
        std::vector<std::string> parts;
        if (!note->name.empty()) parts.push_back(note->name);
        if (!note->meaning.empty()) parts.push_back(note->meaning);
        row.name = joined(parts, ": ");
    }
    row.use = joined(reg.operations, ", ");
    row.steps = stepList(reg.steps);
    return row;
}

ProgramDocumentContent::RegisterRow ProgramDocumentContent::flagRow(const ProgramAnalysis::Flag& flag) const {
    RegisterRow row;
    row.reg = "Flag " + flag.name;
    const auto* note = noteFor(doc.flags, flag.name);
    row.name = note && !note->empty() ? *note : flag.meaning;
    row.use = joined(flag.operations, ", ");
    row.steps = stepList(flag.steps);
    return row;
}

ProgramDocumentContent::MatrixOpRow ProgramDocumentContent::matrixRow(const ProgramAnalysis::MatrixOp& op) const {
    MatrixOpRow row;
    row.item = op.item;
    row.operations = joined(op.operations, ", ");
    row.steps = stepList(op.steps);
    std::vector<std::string> notes;
    static const std::string kPrefix = "Matrix ";
    if (pool && op.item.size() == kPrefix.size() + 1 && op.item.rfind(kPrefix, 0) == 0) {
        const char letter = op.item.back();
        if (letter >= 'A' && letter <= 'E') {
            const int index = letter - 'A';
            std::string now = "now " + pool->dimensionText(index);
            if (index == pool->result) now += ", the RESULT matrix";
            notes.push_back(now);
        }
    }
    notes.insert(notes.end(), op.notes.begin(), op.notes.end());
    row.notes = joined(notes, "; ");
    return row;
}

std::vector<ProgramDocumentContent::LabelRow> ProgramDocumentContent::labelRows() const {
    return rowsOf(analysis.labels, [this](const auto& label) { return labelRow(label); });
}

std::vector<ProgramDocumentContent::RegisterRow> ProgramDocumentContent::registerRows() const {
    return rowsOf(analysis.registers, [this](const auto& reg) { return registerRow(reg); });
}

std::vector<ProgramDocumentContent::RegisterRow> ProgramDocumentContent::flagRows() const {
    return rowsOf(analysis.flags, [this](const auto& flag) { return flagRow(flag); });
}

std::vector<ProgramDocumentContent::MatrixOpRow> ProgramDocumentContent::matrixRows() const {
    return rowsOf(analysis.matrixOps, [this](const auto& op) { return matrixRow(op); });
}

std::vector<ProgramDocumentContent::ListingRow> ProgramDocumentContent::listingRows() const {
    std::vector<ListingRow> rows;
    for (const ProgramLine& line : lines) {
        ListingRow row;
        row.step = ProgramDocument::stepText(line.line, info.model);
        row.screen = screenText(line, info.model);
        row.keys = line.mnemonicWithPrefix();
        row.comment = doc.comment(line.line).value_or(std::string());
        row.isLabel = line.mnemonic.rfind("LBL ", 0) == 0;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<ProgramDocumentContent::MemoryRow> ProgramDocumentContent::memoryRows() const {
    if (!pool) return {};
    const Pool15& p = *pool;
    std::vector<MemoryRow> rows;

    rows.push_back({"DIM (i)", decimalText(p.dimI) + ": R0–" + lastRegisterName(p.dimI) + ", " +
                                   decimalText(p.dimI + 1) + " storage registers"});

    std::vector<std::string> dimensioned;
    for (int m = 0; m < 5; ++m) {
        const auto i = static_cast<std::size_t>(m);
        if (p.rows[i] * p.cols[i] > 0) dimensioned.push_back(matrixLetter(m) + " " + p.dimensionText(m));
    }
    rows.push_back({"Matrices", dimensioned.empty() ? std::string("none dimensioned (all 0×0)")
                                                    : joined(dimensioned, ", ") + " (" +
                                                          decimalText(p.matrixRegisters) + " registers)"});

    rows.push_back({"RESULT", "matrix " + p.resultLetter()});
    rows.push_back({"Complex mode", p.complex ? "on (flag 8): 5 registers hold the imaginary stack" : "off"});

    std::vector<std::string> set;
    for (int flag : setFlags) {
        if (flag > 9) continue;
        set.push_back(flag == 8 ? "8 (complex)" : flag == 9 ? "9 (overflow)" : decimalText(flag));
    }
    rows.push_back({"Flags set", set.empty() ? std::string("none") : joined(set, ", ")});

    const std::string poolSize = decimalText(p.registerCount());
    rows.push_back({"g MEM", p.gmem + "   (DIM (i), free registers, program registers–bytes left; pool " + poolSize +
                                 " registers + R0, R1)"});

    const int complexRegisters = p.complex ? 5 : 0;
    const int workspace = workspaceRegisters(analysis.matrixOps);
    const int total = p.storage + p.matrixRegisters + complexRegisters + p.programRegisters + workspace;
    std::string needs = decimalText(total) + " of " + poolSize + " pool registers (R2… " + decimalText(p.storage) +
                        ", matrices " + decimalText(p.matrixRegisters) + ", complex " +
                        decimalText(complexRegisters) + ", program " + decimalText(p.programRegisters);
    if (workspace != 0) needs += ", SOLVE/∫ workspace " + decimalText(workspace);
    rows.push_back({"Needs at least", needs + ")"});
    return rows;
}

} // namespace tw
