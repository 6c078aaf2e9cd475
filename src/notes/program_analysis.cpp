#include "notes/program_analysis.h"

#include <algorithm>
#include <map>

#include "notes/text_layout.h"

namespace tw {

namespace {

const std::string kIndirectLabel = "I (indirect)";

bool contains(const std::vector<std::string>& list, std::string_view word) {
    return std::find(list.begin(), list.end(), word) != list.end();
}

bool isOneOf(std::string_view word, std::initializer_list<std::string_view> choices) {
    return std::find(choices.begin(), choices.end(), word) != choices.end();
}

bool isArithmeticSign(std::string_view word) {
    return isOneOf(word, {"+", "−", "×", "÷"});
}

bool isMatrixLetter(std::string_view word) {
    return word.size() == 1 && word[0] >= 'A' && word[0] <= 'E';
}

// One character of `letters`, or a numeric one.
bool isCharacterIn(char32_t c, std::u32string_view letters) {
    return letters.find(c) != std::u32string_view::npos;
}

// "+12", "-3", "05": an optional sign, then at least one decimal digit.
std::optional<long long> decimalInteger(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

template <typename Record>
void appendStepOnce(Record& record, int step) {
    if (record.steps.empty() || record.steps.back() != step) record.steps.push_back(step);
}

void appendOnce(std::vector<std::string>& list, const std::string& entry) {
    if (!contains(list, entry)) list.push_back(entry);
}

std::string labelSortKey(const ProgramAnalysis::Label& label, int model) {
    if (label.isIndirect) return "9";
    if (model == 12) return "0" + label.name;
    if (!label.name.empty() && label.name[0] == '.') return "2" + label.name;
    const std::vector<char32_t> points = codePoints(label.name);
    if (!points.empty() && isNumeric(points[0])) return "1" + label.name;
    return "3" + label.name;
}

std::string registerSortKey(const std::string& name) {
    if (name == "n") return "1";
    if (name == "i") return "2";
    if (name == "PV") return "3";
    if (name == "PMT") return "4";
    if (name == "FV") return "5";
    if (name.rfind("R.", 0) == 0) return "2" + name;
    const std::vector<char32_t> points = codePoints(name);
    if (points.size() >= 2 && points[0] == U'R' && isNumeric(points[1])) return "1" + name;
    return "3" + name;
}

// The scan over the listing: three tables keyed by name.
class Scanner {
public:
    Scanner(int model, std::size_t lineCount) : model_(model), lineCount_(lineCount) {}

    void scan(const ProgramLine& line);

    std::vector<ProgramAnalysis::Label> labels() const;
    std::vector<ProgramAnalysis::Register> registers() const;
    std::vector<ProgramAnalysis::Flag> flags() const;

private:
    using Kind = ProgramAnalysis::RegisterKind;

    ProgramAnalysis::Label& ensureLabel(const std::string& name, bool indirect);
    void callLabel(const std::string& name, bool indirect, const std::string& word, int step);
    void recordRegister(const std::string& name, Kind kind, const std::string& operation, int step);
    void recordFlag(const std::string& name, const std::string& operation, int step);
    void registerOperation(const std::vector<std::string>& words, bool matrixOperands, int step);

    int model_;
    std::size_t lineCount_;
    std::map<std::string, ProgramAnalysis::Label> labels_;
    std::map<std::string, ProgramAnalysis::Register> registers_;
    std::map<std::string, ProgramAnalysis::Flag> flags_;
};

ProgramAnalysis::Label& Scanner::ensureLabel(const std::string& name, bool indirect) {
    auto [it, inserted] = labels_.try_emplace(name);
    if (inserted) {
        it->second.name = name;
        it->second.isIndirect = indirect;
    }
    return it->second;
}

void Scanner::callLabel(const std::string& name, bool indirect, const std::string& word, int step) {
    ProgramAnalysis::Label& label = ensureLabel(name, indirect);
    label.called.push_back(step);
    appendOnce(label.callKinds, word);
}

void Scanner::recordRegister(const std::string& name, Kind kind, const std::string& operation, int step) {
    auto [it, inserted] = registers_.try_emplace(name);
    if (inserted) {
        it->second.name = name;
        it->second.kind = kind;
    }
    appendStepOnce(it->second, step);
    appendOnce(it->second.operations, operation);
}

void Scanner::recordFlag(const std::string& name, const std::string& operation, int step) {
    auto [it, inserted] = flags_.try_emplace(name);
    if (inserted) it->second.name = name;
    appendStepOnce(it->second, step);
    appendOnce(it->second.operations, operation);
}

void Scanner::scan(const ProgramLine& line) {
    const std::vector<std::string> w = mnemonicWords(line.mnemonic);
    if (w.empty()) return;
    const int step = line.line;
    const std::size_t n = w.size();

    // Label definitions.
    if (w[0] == "LBL" && n == 2 && ProgramAnalysis::isLabelName(w[1], model_)) {
        ensureLabel(w[1], false).defined.push_back(step);
        return;
    }

    // Calls; a call line that names no label contributes nothing.
    if (isOneOf(w[0], {"GTO", "GSB", "SOLVE", "∫ʸₓ"}) && n == 2) {
        if (model_ == 12 && w[0] == "GTO" && codePoints(w[1]).size() == 2) {
            if (const auto target = decimalInteger(w[1])) {
                callLabel(w[1], false, "GTO", step);
                ProgramAnalysis::Label& label = labels_[w[1]];
                // Line 00 is the top of program memory, always there: a GTO 00 ends a run there.
                if (*target >= 0 && static_cast<unsigned long long>(*target) <= lineCount_ && label.defined.empty()) {
                    label.defined = {static_cast<int>(*target)};
                }
                return;
            }
        }
        if (w[1] == "I" || w[1] == "(i)") {
            callLabel(kIndirectLabel, true, w[0], step);
            recordRegister("I", Kind::index, w[0], step);
        } else if (ProgramAnalysis::isLabelName(w[1], model_)) {
            callLabel(w[1], false, w[0], step);
        }
        return;
    }

    // Flags; the HP-12C has none, so its lines go on to the register rule.
    if (isOneOf(w[0], {"SF", "CF", "F?"}) && n == 2 && model_ != 12) {
        if (w[1] == "I" || w[1] == "(i)") {
            recordFlag(kIndirectLabel, w[0], step);
            recordRegister("I", Kind::index, w[0], step);
        } else if (const auto points = codePoints(w[1]); points.size() == 1 && isNumeric(points[0])) {
            recordFlag(w[1], w[0], step);
        }
        return;
    }

    bool matrixOperands = false;
    if (model_ == 15) {
        if ((w[0] == "DIM" || w[0] == "RESULT") && n == 2 && isMatrixLetter(w[1])) {
            recordRegister("Matrix " + w[1], Kind::matrix, w[0], step);
            return;
        }
        if (w[0] == "DIM" || w[0] == "MATRIX") return;
        if ((w[0] == "STO" || w[0] == "RCL") && n == 3 && w[1] == "DIM" && w[2] == "(i)") return;
        matrixOperands = true;
    } else if (model_ == 16) {
        if (w[0] == "DSZ" || w[0] == "ISZ") {
            recordRegister("I", Kind::index, w[0], step);
            return;
        }
        if (w[0] == "x≷I") {
            recordRegister("I", Kind::index, "x≷", step);
            return;
        }
        if (w[0] == "x≷(i)") {
            recordRegister("(i)", Kind::indirect, "x≷", step);
            recordRegister("I", Kind::index, "(i)", step);
            return;
        }
    }

    registerOperation(w, matrixOperands, step);
}

void Scanner::registerOperation(const std::vector<std::string>& w, bool matrixOperands, int step) {
    if (!isOneOf(w[0], {"STO", "RCL", "x≷", "DSE", "ISG"}) || w.size() < 2) return;
    std::vector<std::string> operands(w.begin() + 1, w.end());
    std::string operation = w[0];
    if (operands.size() >= 2 && isArithmeticSign(operands[0])) {
        operation += " " + operands[0];
        operands.erase(operands.begin());
    }
    if (operands.size() >= 2 && isOneOf(operands[0], {"g", "MATRIX", "DIM"})) {
        if (model_ == 12) return;
        operation += " " + operands[0];
        operands.erase(operands.begin());
    }
    if (operands.size() != 1) return;
    const std::string& x = operands[0];
    if (x == "I") {
        recordRegister("I", Kind::index, operation, step);
    } else if (x == "(i)") {
        recordRegister("(i)", Kind::indirect, operation, step);
        recordRegister("I", Kind::index, "(i)", step);
    } else if (x == "RAN#") {
        recordRegister("RAN#", Kind::random, operation, step);
    } else if (x == "RESULT") {
        recordRegister("RESULT", Kind::result, operation, step);
    } else if (model_ == 12 && isOneOf(x, {"n", "i", "PV", "PMT", "FV"})) {
        recordRegister(x, Kind::financial, operation, step);
    } else if (matrixOperands && isMatrixLetter(x)) {
        recordRegister("Matrix " + x, Kind::matrix, operation, step);
    } else if (ProgramAnalysis::isRegisterName(x, model_)) {
        recordRegister("R" + x, Kind::storage, operation, step);
    }
}

std::vector<ProgramAnalysis::Label> Scanner::labels() const {
    std::vector<std::pair<std::string, ProgramAnalysis::Label>> keyed;
    for (const auto& [name, label] : labels_) keyed.emplace_back(labelSortKey(label, model_), label);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<ProgramAnalysis::Label> list;
    for (auto& entry : keyed) list.push_back(std::move(entry.second));
    return list;
}

std::vector<ProgramAnalysis::Register> Scanner::registers() const {
    std::vector<ProgramAnalysis::Register> list;
    for (const auto& entry : registers_) list.push_back(entry.second);
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
        if (a.kind != b.kind) return a.kind < b.kind;
        return registerSortKey(a.name) < registerSortKey(b.name);
    });
    return list;
}

std::vector<ProgramAnalysis::Flag> Scanner::flags() const {
    std::vector<ProgramAnalysis::Flag> list;
    for (const auto& entry : flags_) list.push_back(entry.second);
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
        const std::size_t lengthA = characterCount(a.name);
        const std::size_t lengthB = characterCount(b.name);
        if (lengthA != lengthB) return lengthA < lengthB;
        return a.name < b.name;
    });
    return list;
}

} // namespace

std::vector<std::string> mnemonicWords(std::string_view mnemonic) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= mnemonic.size()) {
        std::size_t end = mnemonic.find(' ', start);
        if (end == std::string_view::npos) end = mnemonic.size();
        if (end > start) words.emplace_back(mnemonic.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

std::optional<ProgramAnalysis::RegisterKind> ProgramAnalysis::registerKind(int rawValue) {
    if (rawValue < 0 || rawValue > 6) return std::nullopt;
    return static_cast<RegisterKind>(rawValue);
}

bool ProgramAnalysis::isLabelName(std::string_view name, int model) {
    const std::u32string_view letters = model == 16 ? U"ABCDEF" : model == 15 ? U"ABCDE" : U"";
    const std::vector<char32_t> c = codePoints(name);
    if (c.size() == 1) return isNumeric(c[0]) || isCharacterIn(c[0], letters);
    return c.size() == 2 && c[0] == U'.' && isNumeric(c[1]);
}

bool ProgramAnalysis::isRegisterName(std::string_view name, int model) {
    const std::u32string_view letters = model == 16 ? U"ABCDEF" : U"";
    const std::vector<char32_t> c = codePoints(name);
    if (c.size() == 1) return isNumeric(c[0]) || isCharacterIn(c[0], letters);
    return c.size() == 2 && c[0] == U'.' && (isNumeric(c[1]) || isCharacterIn(c[1], letters));
}

ProgramAnalysis::ProgramAnalysis(const std::vector<ProgramLine>& lines, int forModel) : model(forModel) {
    Scanner scanner(forModel, lines.size());
    for (const ProgramLine& line : lines) scanner.scan(line);
    labels = scanner.labels();
    registers = scanner.registers();
    flags = scanner.flags();
    if (model == 15) {
        for (Flag& flag : flags) {
            if (flag.name == "8") flag.meaning = "complex mode (5 registers for the imaginary stack)";
            if (flag.name == "9") flag.meaning = "overflow (blinking display)";
        }
        matrixOps = matrixOperations(lines);
    }
}

std::vector<std::string> ProgramAnalysis::labelNames() const {
    std::vector<std::string> names;
    for (const Label& label : labels) names.push_back(label.name);
    return names;
}

std::vector<std::string> ProgramAnalysis::undefinedLabels() const {
    std::vector<std::string> names;
    for (const Label& label : labels) {
        if (label.defined.empty() && !label.isIndirect) names.push_back(label.name);
    }
    return names;
}

} // namespace tw
