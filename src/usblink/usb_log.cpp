#include "usblink/usb_log.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace tw {

#ifndef TW_VERSION
#define TW_VERSION "?"
#endif

namespace {

std::atomic<bool> enabled{true};

std::mutex& logLock() {
    static std::mutex lock;
    return lock;
}

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buffer(size > 0 ? std::size_t(size) : 16384, '\0');
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return "/";
}

// Writes all of the line; a short write goes on where it stopped.
void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        bytes.remove_prefix(std::size_t(written));
    }
}

} // namespace

void setUSBLogEnabled(bool on) { enabled.store(on, std::memory_order_relaxed); }

bool usbLogEnabled() { return enabled.load(std::memory_order_relaxed); }

std::filesystem::path usbLogPath() {
    std::filesystem::path state;
    // Only an absolute XDG_STATE_HOME counts; a relative one is to be ignored.
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && xdg[0] == '/')
        state = xdg;
    else
        state = homeFolder() / ".local" / "state";
    return state / "Tarnwick" / "Logs" / "Tarnwick-usb.log";
}

std::string usbLogTimeStamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, int(millis < 0 ? millis + 1000 : millis));
    return text;
}

void usbLogAppend(const std::string& stamp, std::string_view message) {
    std::string line;
    line.reserve(stamp.size() + message.size() + 3);
    line.append(stamp).append("  ").append(message).push_back('\n');

    const std::filesystem::path file = usbLogPath();
    std::lock_guard guard(logLock());
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    // Appending, and creating the file only when it is absent: a log that exists but
    // cannot be opened loses this line and is never replaced.
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    writeAll(fd, line);
    ::close(fd);
}

void usbLog(std::string_view message) {
    if (!usbLogEnabled()) return;
    usbLogAppend(usbLogTimeStamp(), message);
}

void usbLogSessionHeader(std::string_view title) {
    usbLog([&] { return "==== " + std::string(title) + " (Tarnwick " TW_VERSION ")"; });
}

void usbLogDone() { usbLog("==== done"); }

void usbLogFailed(const std::exception& error) {
    usbLog([&] { return "==== failed: " + std::string(error.what()); });
}

void usbLogWatchdog(double seconds) {
    usbLog([&] {
        return "==== watchdog: no answer from the USB queue after " + std::to_string((long long)std::trunc(seconds)) +
               " s";
    });
}

void usbLogStarted() { usbLog("(log started)"); }

std::string hexString(std::span<const uint8_t> bytes) {
    std::size_t kept = bytes.size();
    while (kept > 1 && bytes[kept - 1] == 0) --kept;
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(kept * 3 + 12);
    for (std::size_t i = 0; i < kept; ++i) {
        if (i) text.push_back(' ');
        text.push_back(digits[bytes[i] >> 4]);
        text.push_back(digits[bytes[i] & 15]);
    }
    if (const std::size_t dropped = bytes.size() - kept; dropped > 0)
        text += " +" + std::to_string(dropped) + "\u00D700";
    return text;
}

} // namespace tw
