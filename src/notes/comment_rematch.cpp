// Re-attaching step comments after the program changed: each comment goes to
// the line with its keys whose neighbours match best, close to where it was.
#include <algorithm>
#include <set>

#include "notes/program_document.h"

namespace tw {

namespace {

// Distances (in steps) under which a partial match of the neighbours is trusted.
constexpr std::uint64_t kFarLimit = 61;
constexpr std::uint64_t kNearLimit = 4;

// |a - b| without overflow: a step read from a file may be any 64-bit value.
std::uint64_t distanceBetween(std::int64_t a, std::int64_t b) {
    const auto ua = static_cast<std::uint64_t>(a);
    const auto ub = static_cast<std::uint64_t>(b);
    return a > b ? ua - ub : ub - ua;
}

bool accepted(int score, std::uint64_t distance, std::size_t storedKeys) {
    return score >= 3 || (score == 2 && distance < kFarLimit) || (score >= 1 && distance < kNearLimit) ||
           (static_cast<std::size_t>(score) == storedKeys && distance < kFarLimit);
}

} // namespace

int ProgramDocument::contextScore(const StepComment& comment, const std::vector<ProgramLine>& lines,
                                  std::size_t index) {
    const Context here = contextKeys(lines, index);
    int score = 0;
    const std::size_t storedBefore = comment.before.size();
    for (std::size_t d = 0; d < storedBefore && d < here.before.size(); ++d) {
        if (comment.before[storedBefore - 1 - d] == here.before[here.before.size() - 1 - d]) ++score;
    }
    for (std::size_t k = 0; k < comment.after.size() && k < here.after.size(); ++k) {
        if (comment.after[k] == here.after[k]) ++score;
    }
    return score;
}

ProgramDocument::RematchReport ProgramDocument::rematch(const std::vector<ProgramLine>& lines) {
    RematchReport report;
    std::set<std::int64_t> taken;
    std::vector<StepComment> pending = comments;
    std::stable_sort(pending.begin(), pending.end(),
                     [](const StepComment& a, const StepComment& b) { return a.step < b.step; });

    for (StepComment& c : pending) {
        std::optional<std::size_t> best;
        int bestScore = 0;
        std::uint64_t bestDistance = 0;
        for (std::size_t j = 0; j < lines.size(); ++j) {
            const ProgramLine& line = lines[j];
            if (line.keys != c.keys || taken.count(line.line)) continue;
            const int score = contextScore(c, lines, j);
            const std::uint64_t distance = distanceBetween(line.line, c.step);
            if (!best || score > bestScore || (score == bestScore && distance < bestDistance)) {
                best = j;
                bestScore = score;
                bestDistance = distance;
            }
        }

        if (best && accepted(bestScore, bestDistance, c.before.size() + c.after.size())) {
            const ProgramLine& line = lines[*best];
            if (line.line == c.step && !c.orphaned) {
                ++report.kept;
            } else {
                ++report.moved;
            }
            const Context context = contextKeys(lines, *best);
            c.step = line.line;
            c.before = context.before;
            c.after = context.after;
            c.orphaned = false;
            taken.insert(line.line);
        } else {
            if (!c.orphaned) ++report.orphaned;
            c.orphaned = true;
        }
    }

    std::stable_sort(pending.begin(), pending.end(), [](const StepComment& a, const StepComment& b) {
        if (a.orphaned != b.orphaned) return !a.orphaned;
        return a.step < b.step;
    });
    comments = std::move(pending);
    return report;
}

} // namespace tw
