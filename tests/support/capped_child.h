// Running code with the file size capped, as on a full disk: in a forked child
// (writes past the cap fail with EFBIG instead of killing the process), or in a
// process about to be started. And running code as an unprivileged user in a forked
// child, so that what the system refuses a user is checked when the tests run as root.
//
//   auto outcome = tw::test::runWithFileSizeCap(1024, [&](std::string& note) {
//       note = "what the parent should see";
//       return 0;                                  // the child's exit code
//   });
//   EXPECT_EQ(outcome.exitCode, 0) << outcome.note;
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tw::test {

struct ChildOutcome {
    int exitCode = -1; // -1 when the child did not exit normally
    std::string note;  // what the child put in its note
};

// Forks; the child caps its writes at `bytes` bytes per file, runs `body` and exits
// with its answer. The parent waits and answers the exit code and the note.
ChildOutcome runWithFileSizeCap(std::uint64_t bytes, const std::function<int(std::string& note)>& body);

// Forks; the child runs `body` as the unprivileged user below when this process runs
// as root (as it does as it is otherwise) and exits with its answer; 125 when it could
// not drop its privileges. The files it uses must be reachable for that user.
ChildOutcome runUnprivileged(const std::function<int(std::string& note)>& body);
// The user and group `nobody`.
inline constexpr unsigned unprivilegedId = 65534;

// Caps this process's writes at `bytes` bytes per file and makes a write past the
// cap fail with EFBIG (kept across exec: for QProcess::setChildProcessModifier).
// Only the soft limit is lowered, so that liftFileSizeCap() can make room again.
void capFileSize(std::uint64_t bytes);

// Lifts the cap again, as when the user made room on the disk.
void liftFileSizeCap();

} // namespace tw::test
