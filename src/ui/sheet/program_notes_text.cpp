#include "ui/sheet/program_notes_text.h"

#include "runtime/snapshot/utf8.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string_view>

namespace tw::notes_text {
namespace {

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) out += separator;
        out += parts[i];
    }
    return out;
}

std::string stepNumber(long long step, bool twoDigits) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, twoDigits ? "%02lld" : "%03lld", step);
    return buffer;
}

} // namespace

std::string stepList(const std::vector<int>& steps, int model) {
    constexpr std::size_t shown = 8;
    std::vector<std::string> parts;
    for (std::size_t i = 0; i < steps.size() && i < shown; ++i)
        parts.push_back(stepNumber(steps[i], model == 12));
    std::string out = joined(parts, ", ");
    if (steps.size() > shown) out += " \u2026";
    return out;
}

std::string labelTitle(const ProgramAnalysis::Label& label, int model) {
    if (label.isIndirect) return label.name;
    return (model == 12 ? "line " : "LBL ") + label.name;
}

bool labelIsUndefined(const ProgramAnalysis::Label& label) {
    return label.defined.empty() && !label.isIndirect;
}

std::string labelUsage(const ProgramAnalysis::Label& label, int model) {
    std::string where;
    if (!label.defined.empty()) where = "at " + stepList(label.defined, model);
    else if (label.isIndirect) where = "computed in I";
    else where = "not defined";
    std::string from = label.called.empty()
        ? std::string("not called")
        : "called from " + stepList(label.called, model) + " (" + joined(label.callKinds, ", ") + ")";
    return where + " \u00B7 " + from;
}

std::string registerUsage(const ProgramAnalysis::Register& reg, int model) {
    return joined(reg.operations, ", ") + " \u2014 " + stepList(reg.steps, model);
}

std::string flagUsage(const ProgramAnalysis::Flag& flag) {
    return joined(flag.operations, ", ");
}

std::string commentsHeader(const ProgramDocument& doc) {
    const bool anyOrphan =
        std::any_of(doc.comments.begin(), doc.comments.end(), [](const StepComment& c) { return c.orphaned; });
    return anyOrphan ? "Comments that no longer match a step" : "Comments";
}

std::string commentCountLine(const ProgramDocument& doc) {
    long long live = 0;
    for (const StepComment& c : doc.comments)
        if (!c.orphaned) ++live;
    char count[32];
    std::snprintf(count, sizeof count, "%lld", live);
    return std::string("Comments per step: double-click a line in the inspector's program list. ") + count +
           " step comment(s) so far.";
}

std::string orphanLine(const StepComment& comment) {
    const std::string_view text = utf8Start(comment.text, kOrphanLineTextBytes);
    return "was step " + stepNumber(comment.step, false) + " (" + comment.keys + "): " + std::string(text) +
           (text.size() < comment.text.size() ? "\u2026" : "");
}

int currentModel(const std::optional<int>& inspectionModel, int snapshotModel) {
    return inspectionModel ? *inspectionModel : snapshotModel;
}

} // namespace tw::notes_text
