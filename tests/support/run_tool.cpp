#include "support/run_tool.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tw::test {

namespace {

// Undoes a posix_spawn_file_actions_init on every way out.
struct FileActions {
    posix_spawn_file_actions_t actions;
    FileActions() { posix_spawn_file_actions_init(&actions); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
};

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

ToolResult runTool(const std::vector<std::string>& arguments, const std::string& folder) {
    ToolResult result;
    if (arguments.empty()) return result;
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0) {
        result.output = "pipe failed";
        return result;
    }
    FileActions file;
    // dup2 leaves the copies open across exec; the originals close there.
    posix_spawn_file_actions_addopen(&file.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&file.actions, channel[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&file.actions, channel[1], STDERR_FILENO);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&file.actions, folder.c_str());

    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    const int error = ::posix_spawnp(&child, argv[0], &file.actions, nullptr, argv.data(), environ);
    ::close(channel[1]);
    if (error != 0) {
        ::close(channel[0]);
        result.output = "could not start " + arguments[0] + ": " + std::strerror(error);
        return result;
    }
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        result.output.append(buffer, size_t(n));
    }
    ::close(channel[0]);
    int status = 0;
    pid_t waited;
    while ((waited = ::waitpid(child, &status, 0)) < 0 && errno == EINTR) {}
    result.status = waited == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool toolAvailable(const std::string& name) {
    if (name.find('/') != std::string::npos) return isExecutableFile(name);
    const char* path = std::getenv("PATH");
    const std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    for (size_t start = 0;;) {
        const size_t end = folders.find(':', start);
        std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (folder.empty()) folder = "."; // an empty entry names the current folder
        if (isExecutableFile(folder + "/" + name)) return true;
        if (end == std::string::npos) return false;
        start = end + 1;
    }
}

} // namespace tw::test
