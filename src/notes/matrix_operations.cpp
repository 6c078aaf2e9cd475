// The HP-15C operations that change how the memory is laid out or read:
// matrices, the result matrix, MATRIX functions, complex mode, SOLVE and ∫.
#include <algorithm>
#include <map>

#include "notes/program_analysis.h"
#include "runtime/snapshot/number_text.h"

namespace tw {

namespace {

const std::map<std::string, std::string>& matrixFunctionNotes() {
    static const std::map<std::string, std::string> notes = {
        {"0", "MATRIX 0: all matrices to 0×0 (memory returned)"},
        {"1", "MATRIX 1: R0 = R1 = 1 (start of element-by-element access)"},
        {"2", "MATRIX 2: complex matrix, partitioned form to the inverse-ready form"},
        {"3", "MATRIX 3: inverse of MATRIX 2"},
        {"4", "MATRIX 4: transpose"},
        {"5", "MATRIX 5: transpose(Y) × X"},
        {"6", "MATRIX 6: residual"},
        {"7", "MATRIX 7: row norm"},
        {"8", "MATRIX 8: Frobenius norm"},
        {"9", "MATRIX 9: determinant"},
    };
    return notes;
}

const std::string kComplexNote = "f I and Re≷Im turn on complex mode (flag 8)";

bool isLetter(const std::string& word) {
    return word.size() == 1 && word[0] >= 'A' && word[0] <= 'E';
}

bool isSign(const std::string& word) {
    return word == "+" || word == "−" || word == "×" || word == "÷";
}

std::string itemSortKey(const std::string& item) {
    if (item == "DIM (i)") return "0";
    if (item.rfind("Matrix", 0) == 0) return "1" + item;
    if (item == "RESULT") return "2";
    if (item == "MATRIX n") return "3";
    if (item == "Complex") return "4";
    return "5";
}

class MatrixScanner {
public:
    void scan(const ProgramLine& line);
    std::vector<ProgramAnalysis::MatrixOp> result() const;

private:
    void recordMatrixOp(const std::string& item, const std::string& operation, int step,
                        const std::string& note = {});
    void storeOrRecall(const std::vector<std::string>& words, int step);

    std::map<std::string, ProgramAnalysis::MatrixOp> records_;
    std::vector<std::string> order_;
};

void MatrixScanner::recordMatrixOp(const std::string& item, const std::string& operation, int step,
                                   const std::string& note) {
    auto [it, inserted] = records_.try_emplace(item);
    ProgramAnalysis::MatrixOp& op = it->second;
    if (inserted) {
        op.item = item;
        order_.push_back(item);
    }
    if (op.steps.empty() || op.steps.back() != step) op.steps.push_back(step);
    if (std::find(op.operations.begin(), op.operations.end(), operation) == op.operations.end()) {
        op.operations.push_back(operation);
    }
    if (!note.empty() && std::find(op.notes.begin(), op.notes.end(), note) == op.notes.end()) {
        op.notes.push_back(note);
    }
}

void MatrixScanner::scan(const ProgramLine& line) {
    const std::vector<std::string> w = mnemonicWords(line.mnemonic);
    if (w.empty()) return;
    const int step = line.line;
    const std::size_t n = w.size();
    const std::string stepText = zeroPadded(step, 3);

    if (w[0] == "DIM" && n == 2) {
        if (isLetter(w[1])) {
            recordMatrixOp("Matrix " + w[1], "DIM", step,
                           "dimensioned by the program at step " + stepText + " (size from the stack)");
        } else if (w[1] == "(i)") {
            recordMatrixOp("DIM (i)", "DIM (i)", step,
                           "storage registers set by the program at step " + stepText + " (from X)");
        }
        return;
    }
    if (w[0] == "MATRIX" && n == 2) {
        const auto& notes = matrixFunctionNotes();
        const auto note = notes.find(w[1]);
        recordMatrixOp("MATRIX n", "MATRIX " + w[1], step, note == notes.end() ? std::string() : note->second);
        return;
    }
    if (w[0] == "RESULT" && n == 2 && isLetter(w[1])) {
        recordMatrixOp("RESULT", "RESULT " + w[1], step, "results go to matrix " + w[1]);
        recordMatrixOp("Matrix " + w[1], "RESULT", step);
        return;
    }
    if (w[0] == "I") {
        recordMatrixOp("Complex", "f I", step, kComplexNote);
        return;
    }
    if (w[0] == "Re≷Im") {
        recordMatrixOp("Complex", "Re≷Im", step, kComplexNote);
        return;
    }
    if ((w[0] == "SF" || w[0] == "CF" || w[0] == "F?") && n == 2) {
        if (w[1] == "8") recordMatrixOp("Complex", w[0] + " 8", step, "flag 8 = complex mode (5 registers)");
        return;
    }
    if (w[0] == "SOLVE") {
        recordMatrixOp("SOLVE/∫ workspace", "SOLVE", step, "SOLVE borrows 5 registers while it runs");
        return;
    }
    if (w[0] == "∫ʸₓ") {
        recordMatrixOp("SOLVE/∫ workspace", "∫ʸₓ", step, "∫ borrows 23 registers while it runs");
        return;
    }
    if (w[0] == "STO" || w[0] == "RCL" || w[0] == "x≷") storeOrRecall(w, step);
}

void MatrixScanner::storeOrRecall(const std::vector<std::string>& w, int step) {
    std::vector<std::string> operands(w.begin() + 1, w.end());
    std::string operation = w[0];
    if (operands.size() >= 2 && isSign(operands[0])) {
        operation += " " + operands[0];
        operands.erase(operands.begin());
    }
    if (operands.size() == 2) {
        const std::string& first = operands[0];
        const std::string& second = operands[1];
        if (first == "DIM" && isLetter(second)) {
            recordMatrixOp("Matrix " + second, operation + " DIM", step);
        } else if (first == "DIM" && second == "(i)") {
            recordMatrixOp("DIM (i)", operation + " DIM (i)", step);
        } else if (first == "MATRIX" && isLetter(second)) {
            recordMatrixOp("Matrix " + second, operation + " MATRIX", step,
                           operation == "RCL" ? "descriptor recalled to X (for matrix arithmetic)" : "");
        } else if (first == "g" && isLetter(second)) {
            recordMatrixOp("Matrix " + second, operation + " g", step, "element at row Y, column X");
        }
    } else if (operands.size() == 1) {
        if (isLetter(operands[0])) {
            recordMatrixOp("Matrix " + operands[0], operation, step,
                           "element at R0, R1 (USER mode steps the indices)");
        } else if (operands[0] == "RESULT") {
            recordMatrixOp("RESULT", operation + " RESULT", step);
        }
    }
}

std::vector<ProgramAnalysis::MatrixOp> MatrixScanner::result() const {
    std::vector<ProgramAnalysis::MatrixOp> list;
    for (const std::string& item : order_) list.push_back(records_.at(item));
    std::stable_sort(list.begin(), list.end(),
                     [](const auto& a, const auto& b) { return itemSortKey(a.item) < itemSortKey(b.item); });
    return list;
}

} // namespace

std::vector<ProgramAnalysis::MatrixOp> ProgramAnalysis::matrixOperations(const std::vector<ProgramLine>& lines) {
    MatrixScanner scanner;
    for (const ProgramLine& line : lines) scanner.scan(line);
    return scanner.result();
}

} // namespace tw
