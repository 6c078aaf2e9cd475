#include "notes/program_document.h"

#include <algorithm>

#include "notes/text_layout.h"
#include "runtime/snapshot/number_text.h"

namespace tw {

std::filesystem::path ProgramDocument::sidecarPath(const std::filesystem::path& memoryFile) {
    std::filesystem::path sidecar = memoryFile;
    sidecar += ".";
    sidecar += std::string(formatName);
    return sidecar;
}

bool ProgramDocument::isEmpty() const {
    if (!title.empty() || !author.empty() || !description.empty() || !comments.empty()) return false;
    const auto noted = [](const auto& entry) { return !entry.second.empty(); };
    if (std::any_of(labels.begin(), labels.end(), noted)) return false;
    if (std::any_of(flags.begin(), flags.end(), noted)) return false;
    return std::all_of(registers.begin(), registers.end(),
                       [](const auto& entry) { return entry.second.name.empty() && entry.second.meaning.empty(); });
}

std::optional<std::string> ProgramDocument::comment(std::int64_t step) const {
    for (const StepComment& c : comments) {
        if (c.step == step && !c.orphaned) return c.text;
    }
    return std::nullopt;
}

ProgramDocument::CommentChange ProgramDocument::setComment(std::string_view text, std::int64_t step,
                                                           const std::vector<ProgramLine>& lines) {
    const std::string trimmed = trimWhitespace(text);
    const auto line = std::find_if(lines.begin(), lines.end(), [&](const ProgramLine& l) { return l.line == step; });
    // A text for a step the listing lacks cannot be attached; keep what the
    // step had rather than lose it, and say so.
    if (!trimmed.empty() && line == lines.end()) return CommentChange::notInListing;

    std::erase_if(comments, [&](const StepComment& c) { return c.step == step && !c.orphaned; });
    if (trimmed.empty()) return CommentChange::removed;

    const Context context = contextKeys(lines, static_cast<std::size_t>(line - lines.begin()));
    comments.push_back(StepComment{step, trimmed, line->keys, context.before, context.after, false});
    std::stable_sort(comments.begin(), comments.end(),
                     [](const StepComment& a, const StepComment& b) { return a.step < b.step; });
    return CommentChange::stored;
}

std::vector<StepComment> ProgramDocument::orphanedComments() const {
    std::vector<StepComment> list;
    std::copy_if(comments.begin(), comments.end(), std::back_inserter(list),
                 [](const StepComment& c) { return c.orphaned; });
    return list;
}

void ProgramDocument::addMissingEntries(const std::vector<ProgramAnalysis::Label>& labelList,
                                        const std::vector<ProgramAnalysis::Register>& registerList,
                                        const std::vector<ProgramAnalysis::Flag>& flagList) {
    for (const auto& label : labelList) labels.try_emplace(label.name);
    for (const auto& reg : registerList) registers.try_emplace(reg.name);
    for (const auto& flag : flagList) flags.try_emplace(flag.name);
}

ProgramDocument::Context ProgramDocument::contextKeys(const std::vector<ProgramLine>& lines, std::size_t index) {
    Context context;
    if (index >= lines.size()) return context;
    for (std::size_t k = index >= 2 ? index - 2 : 0; k < index; ++k) context.before.push_back(lines[k].keys);
    for (std::size_t k = index + 1; k < lines.size() && k <= index + 2; ++k) context.after.push_back(lines[k].keys);
    return context;
}

std::string ProgramDocument::stepText(std::int64_t step, std::int64_t model) {
    return zeroPadded(step, model == 12 ? 2 : 3);
}

} // namespace tw
