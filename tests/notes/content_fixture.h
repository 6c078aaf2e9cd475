// A small HP-15C program with notes, as the documentation tests use it.
#pragma once

#include <cstdlib>
#include <ctime>

#include "notes/program_document_content.h"
#include "listing.h"

namespace tw::testing {

// Dates are written in the user's time zone; tests pin it.
inline void useUtc() {
    setenv("TZ", "UTC", 1);
    tzset();
}

inline std::chrono::system_clock::time_point utcSeconds(long long seconds) {
    return std::chrono::system_clock::time_point(std::chrono::seconds(seconds));
}

inline std::vector<ProgramLine> solverListing() {
    return {step(1, "LBL A", "42,21,11", "f"), step(2, "STO 1", "44 1"),     step(3, "DIM B", "42,23,12", "f"),
            step(4, "SOLVE 2", "42,10, 2", "f"), step(5, "SF 8", "43, 4, 8", "g"), step(6, "RTN", "43 32", "g")};
}

inline Pool15 solverPool() {
    Pool15 pool;
    pool.rows[1] = 2;
    pool.cols[1] = 3;
    pool.result = 1;
    pool.dimI = 1;
    pool.matrixRegisters = 6;
    pool.programRegisters = 1;
    pool.gmem = "1 88 1-1";
    return pool;
}

inline ProgramDocumentContent solverContent() {
    const auto lines = solverListing();
    ProgramDocument doc;
    doc.title = "Solver demo";
    doc.author = "Ada";
    doc.description = "Finds a root.\r\nUses\tB.";
    doc.labels["A"] = "entry\tpoint";
    doc.registers["R1"] = RegisterNote{"guess", ""};
    (void)doc.setComment("store the\nguess", 2, lines);
    (void)doc.setComment("dimension", 3, lines);
    doc.comments.push_back(StepComment{7, "was here", "45 3", {}, {}, true});
    ProgramDocumentInfo info;
    info.modelName = "HP-15C";
    info.memoryFile = "demo.15c";
    info.model = 15;
    info.date = utcSeconds(1796558400); // 6 December 2026, noon
    return ProgramDocumentContent(doc, info, lines, solverPool(), {1, 8});
}

} // namespace tw::testing
