// The texts of the program information sheet, apart from its widgets: step
// lists, the usage line of each label, register and flag, and the comment
// section's lines.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "notes/program_analysis.h"
#include "notes/program_document.h"

namespace tw::notes_text {

// The first eight steps, "%02d" on the HP-12C and "%03d" otherwise, joined by
// ", "; " …" follows when there were more.
std::string stepList(const std::vector<int>& steps, int model);

// "line 05" on the HP-12C, "LBL A" otherwise; an indirect entry by its name.
std::string labelTitle(const ProgramAnalysis::Label& label, int model);
// "at 001 · called from 004 (GSB)", "computed in I · not called", ...
std::string labelUsage(const ProgramAnalysis::Label& label, int model);
// A label that is branched to (or named) but defined nowhere and not indirect.
bool labelIsUndefined(const ProgramAnalysis::Label& label);

// "STO, RCL — 001, 004".
std::string registerUsage(const ProgramAnalysis::Register& reg, int model);
// "SF, F?".
std::string flagUsage(const ProgramAnalysis::Flag& flag);

// "Comments" or "Comments that no longer match a step".
std::string commentsHeader(const ProgramDocument& doc);
// "Comments per step: double-click … N step comment(s) so far." (live ones only).
std::string commentCountLine(const ProgramDocument& doc);
// The most of an orphaned comment's bytes that its line shows: the sheet lays every
// orphan out in full, and a comment can be megabytes long.
constexpr std::size_t kOrphanLineTextBytes = 2000;
// "was step 007 (45 1): text" — three digits on every model; a text cut short ends in "…".
std::string orphanLine(const StepComment& comment);

// The listing's model number for the sheet: the inspection's when there is
// one, else the engine snapshot's.
int currentModel(const std::optional<int>& inspectionModel, int snapshotModel);

} // namespace tw::notes_text
