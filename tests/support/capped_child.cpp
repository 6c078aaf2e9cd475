#include "support/capped_child.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tw::test {

namespace {

// Forks; the child runs `prepare`, then `body`, and exits with body's answer.
ChildOutcome runInChild(const std::function<void()>& prepare, const std::function<int(std::string& note)>& body);

} // namespace

void capFileSize(std::uint64_t bytes) {
    // Ignored, SIGXFSZ no longer kills: the write fails with EFBIG, as ENOSPC fails it on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(126);
    limit.rlim_cur = rlim_t(bytes);
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(126);
}

void liftFileSizeCap() {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(126);
    limit.rlim_cur = limit.rlim_max;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(126);
}

ChildOutcome runWithFileSizeCap(std::uint64_t bytes, const std::function<int(std::string& note)>& body) {
    return runInChild([bytes] { capFileSize(bytes); }, body);
}

ChildOutcome runUnprivileged(const std::function<int(std::string& note)>& body) {
    return runInChild(
        [] {
            if (::geteuid() != 0) return;
            // Groups first: once the user is dropped, they can no longer be changed.
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid_t(unprivilegedId)) != 0 ||
                ::setuid(uid_t(unprivilegedId)) != 0 || ::geteuid() == 0)
                std::_Exit(125);
        },
        body);
}

namespace {

ChildOutcome runInChild(const std::function<void()>& prepare, const std::function<int(std::string& note)>& body) {
    int channel[2];
    if (pipe(channel) != 0) return {-1, "pipe failed"};
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return {-1, "fork failed"};
    }
    if (child == 0) {
        close(channel[0]);
        prepare();
        std::string note;
        const int code = body(note);
        // A pipe is no file: the cap does not apply to the note.
        for (size_t done = 0; done < note.size();) {
            const ssize_t n = write(channel[1], note.data() + done, note.size() - done);
            if (n <= 0) break;
            done += size_t(n);
        }
        // No exit handlers: the parent's test framework and Qt objects stay the parent's.
        std::_Exit(code);
    }
    close(channel[1]);
    ChildOutcome outcome;
    char buffer[4096];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        outcome.note.append(buffer, size_t(n));
    }
    close(channel[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

} // namespace

} // namespace tw::test
