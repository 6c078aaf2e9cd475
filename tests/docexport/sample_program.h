// Documentation contents for tests and benchmarks: HP-15C and HP-12C programs written the
// way the listing decoder prints them.
#pragma once

#include "notes/program_document_content.h"

#include <string>
#include <vector>

namespace tw::test {

inline ProgramLine programStep(int line, std::string keys, std::string mnemonic, std::string prefix = {}) {
    ProgramLine p;
    p.line = line;
    p.keys = std::move(keys);
    p.mnemonic = std::move(mnemonic);
    p.prefix = std::move(prefix);
    return p;
}

// An HP-15C program of `steps` steps: a labelled routine every 40 steps, stores, recalls,
// arithmetic, subroutine calls and flag tests.
inline std::vector<ProgramLine> hp15cProgram(int steps) {
    static const char* labels[] = {"A", "B", "C", "D", "E", "0", "1", "2", "3", "4"};
    std::vector<ProgramLine> lines;
    for (int i = 1; i <= steps; ++i) {
        int k = (i - 1) % 40;
        std::string label = labels[((i - 1) / 40) % 10];
        if (k == 0) lines.push_back(programStep(i, "42,21,11", "LBL " + label, "f"));
        else if (k == 1) lines.push_back(programStep(i, "44  1", "STO 1"));
        else if (k == 2) lines.push_back(programStep(i, "45  2", "RCL 2"));
        else if (k == 3) lines.push_back(programStep(i, "20", "×"));
        else if (k == 4) lines.push_back(programStep(i, "43, 6, 8", "F? 8", "g"));
        else if (k == 5) lines.push_back(programStep(i, "32 11", "GSB A"));
        else if (k == 6) lines.push_back(programStep(i, "43  4  3", "SF 3", "g"));
        else if (k == 39) lines.push_back(programStep(i, "43 32", "RTN", "g"));
        else lines.push_back(programStep(i, std::to_string(i % 10), std::to_string(i % 10)));
    }
    return lines;
}

inline ProgramDocumentContent hp15cContent(int steps) {
    ProgramDocument doc;
    doc.title = "Loan payments";
    doc.author = "A. User";
    doc.description = "# Purpose\nComputes the monthly payment of a loan.\n\n- Store the rate in R1\n"
                      "- Store the term in R2\nPress A to start.";
    doc.labels["A"] = "main entry";
    doc.registers["R1"] = RegisterNote{"rate", "yearly interest in percent"};
    doc.flags["3"] = "set when done";
    auto lines = hp15cProgram(steps);
    for (int s = 2; s <= steps; s += 7) (void)doc.setComment("store the intermediate value ∑ " + std::to_string(s), s, lines);
    doc.comments.push_back(StepComment{7, "an old comment", "45 3", {}, {}, true});
    ProgramDocumentInfo info;
    info.modelName = "HP-15C";
    info.firmware = "HP-15C CE 1.0";
    info.memoryFile = "loan.15c";
    info.model = 15;
    info.date = std::chrono::sys_days{std::chrono::year{2026} / 12 / 6} + std::chrono::hours{12};
    Pool15 pool;
    pool.base = 160;
    pool.top = 256;
    pool.data = 162;
    pool.storage = 18;
    pool.dimI = 19;
    pool.starts = {180, 184, 0, 0, 0};
    pool.rows = {2, 3, 0, 0, 0};
    pool.cols = {2, 1, 0, 0, 0};
    pool.matrixRegisters = 7;
    pool.pool = 187;
    pool.programLow = 200;
    pool.programRegisters = 56;
    pool.gmem = "19 13 56-4";
    return ProgramDocumentContent(doc, info, lines, pool, {1, 8});
}

} // namespace tw::test
