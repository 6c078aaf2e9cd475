#include "log_capture.h"
#include "support/capped_child.h"
#include "support/strerror_text.h"
#include "usblink/hid_result.h"
#include "usblink/link_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <regex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tw {

namespace {

using Lines = std::vector<std::string>;

std::string readAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(USBLog, LinesAreStampedAndAppendedToAnExistingFile) {
    LogCapture log;
    std::filesystem::create_directories(log.file().parent_path());
    std::ofstream(log.file()) << "an earlier line\n";
    usbLog("first");
    usbLog([] { return std::string("second"); });
    const std::string text = readAll(log.file());
    EXPECT_TRUE(text.starts_with("an earlier line\n"));
    const std::regex line(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  (first|second)\n)");
    EXPECT_TRUE(std::regex_match(text.substr(16, text.find('\n', 16) - 15), line)) << text;
    EXPECT_TRUE(text.ends_with("  second\n"));
}

TEST(USBLog, FirstLineCreatesTheFolders) {
    LogCapture log;
    usbLogStarted();
    EXPECT_EQ(log.messages(), (Lines{"(log started)"}));
}

TEST(USBLog, SwitchedOffWritesNothingAndComputesNothing) {
    LogCapture log;
    setUSBLogEnabled(false);
    int computed = 0;
    usbLog([&] {
        ++computed;
        return std::string("hex dump");
    });
    usbLog("plain");
    usbLogDone();
    EXPECT_EQ(computed, 0);
    EXPECT_FALSE(std::filesystem::exists(log.file()));
    setUSBLogEnabled(true);
    usbLogDone();
    EXPECT_EQ(log.messages(), (Lines{"==== done"}));
}

TEST(USBLog, JobLines) {
    LogCapture log;
    usbLogSessionHeader("Reading the calculator's memory\u2026");
    usbLogFailed(LinkError::timeout(0));
    usbLogWatchdog(25.0);
    usbLogWatchdog(25.9);
    const Lines lines = log.messages();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(std::regex_match(lines[0], std::regex("==== Reading the calculator's memory\u2026 \\(Tarnwick [0-9.?]+\\)")))
        << lines[0];
    EXPECT_EQ(lines[1], "==== failed: " + LinkError::timeout(0).errorDescription());
    EXPECT_EQ(lines[2], "==== watchdog: no answer from the USB queue after 25 s");
    EXPECT_EQ(lines[3], lines[2]);
}

TEST(USBLog, LocationFollowsTheStateFolder) {
    LogCapture log;
    EXPECT_EQ(usbLogPath(), log.file());
    USBLogHome home("/home/someone");
    setenv("XDG_STATE_HOME", "relative/state", 1); // not absolute: ignored
    EXPECT_EQ(usbLogPath(), "/home/someone/.local/state/Tarnwick/Logs/Tarnwick-usb.log");
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(usbLogPath(), "/home/someone/.local/state/Tarnwick/Logs/Tarnwick-usb.log");
}

TEST(USBLog, ALogThatCannotBeOpenedIsNeverReplaced) {
    LogCapture log;
    std::filesystem::create_directories(log.file().parent_path());
    std::ofstream(log.file()) << "kept\n";
    // Read-only to the user who writes the log; as root, that is an unprivileged user
    // who owns the folders and the file, since root may write anyway.
    chmod(log.file().c_str(), 0444);
    if (geteuid() == 0) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(log.folder()))
            ASSERT_EQ(chown(entry.path().c_str(), test::unprivilegedId, test::unprivilegedId), 0);
        ASSERT_EQ(chown(log.folder().c_str(), test::unprivilegedId, test::unprivilegedId), 0);
    }
    const auto outcome = test::runUnprivileged([](std::string&) {
        usbLog("lost");
        return 0;
    });
    EXPECT_EQ(outcome.exitCode, 0);
    chmod(log.file().c_str(), 0644);
    EXPECT_EQ(readAll(log.file()), "kept\n");
    std::filesystem::remove(log.file());
    std::filesystem::create_directories(log.file()); // a folder where the file should be
    usbLog("lost");
    EXPECT_TRUE(std::filesystem::is_directory(log.file()));
    EXPECT_TRUE(std::filesystem::is_empty(log.file()));
}

TEST(USBLog, LinesFromSeveralThreadsNeverInterleave) {
    LogCapture log;
    constexpr int threads = 6, perThread = 150;
    std::vector<std::thread> writers;
    for (int t = 0; t < threads; ++t)
        writers.emplace_back([t] {
            for (int i = 0; i < perThread; ++i)
                usbLog([&] { return "thread " + std::to_string(t) + " line " + std::to_string(i) + " " + std::string(200, 'x'); });
        });
    for (std::thread& w : writers) w.join();
    const Lines lines = log.messages();
    ASSERT_EQ(lines.size(), std::size_t(threads * perThread));
    std::vector<int> next(threads, 0);
    const std::regex line(R"(thread (\d) line (\d+) x{200})");
    for (const std::string& l : lines) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(l, m, line)) << l;
        const int t = std::stoi(m[1]);
        EXPECT_EQ(std::stoi(m[2]), next[t]++) << "one thread's lines keep their order";
    }
}

// A failed hidapi call reads as its errno and the system's text for it, not a bare number.
TEST(USBLogText, HidResultNames) {
    EXPECT_EQ(hidResultName(0), "success");
    EXPECT_EQ(hidResultName(EACCES), "errno 13 (" + test::strerrorText(EACCES) + ")");
    EXPECT_EQ(hidResultName(ENODEV), "errno 19 (" + test::strerrorText(ENODEV) + ")");
    EXPECT_EQ(hidResultName(12345), "errno 12345 (" + test::strerrorText(12345) + ")");
}

TEST(USBLogText, HexFoldsTrailingZeros) {
    using B = std::vector<uint8_t>;
    EXPECT_EQ(hexString(B{1, 2, 0, 0}), "01 02 +2\u00D700");
    EXPECT_EQ(hexString(B{1, 0, 2}), "01 00 02");
    EXPECT_EQ(hexString(B{0}), "00");
    EXPECT_EQ(hexString(B{}), "");
    EXPECT_EQ(hexString(B(64, 0)), "00 +63\u00D700");
    EXPECT_EQ(hexString(B{0xAB, 0xCD}), "AB CD");
}

} // namespace

} // namespace tw
