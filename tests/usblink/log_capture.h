// Points the USB log at a fresh folder for one test and reads its lines back.
#pragma once

#include "usblink/usb_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tw {

class LogCapture {
public:
    LogCapture() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tw-usblog-XXXXXX").string();
        folder_ = mkdtemp(pattern.data());
        setenv("XDG_STATE_HOME", folder_.c_str(), 1);
        setUSBLogEnabled(true);
    }
    ~LogCapture() {
        setUSBLogEnabled(true);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path file() const { return folder_ / "Tarnwick" / "Logs" / "Tarnwick-usb.log"; }

    // The messages of the lines written, without their time stamps.
    std::vector<std::string> messages() const {
        std::vector<std::string> result;
        std::ifstream in(file());
        for (std::string line; std::getline(in, line);) {
            EXPECT_GE(line.size(), stampWidth) << line;
            if (line.size() >= stampWidth) result.push_back(line.substr(stampWidth));
        }
        return result;
    }
    void clear() const {
        std::error_code ignored;
        std::filesystem::remove(file(), ignored);
    }

    static constexpr std::size_t stampWidth = 25; // "yyyy-MM-dd HH:mm:ss.SSS  "

private:
    std::filesystem::path folder_;
};

// Sets HOME for one test and puts the old value back.
class USBLogHome {
public:
    explicit USBLogHome(const char* home) {
        if (const char* old = std::getenv("HOME")) old_ = old;
        setenv("HOME", home, 1);
    }
    ~USBLogHome() {
        if (old_.empty())
            unsetenv("HOME");
        else
            setenv("HOME", old_.c_str(), 1);
    }
    USBLogHome(const USBLogHome&) = delete;
    USBLogHome& operator=(const USBLogHome&) = delete;

private:
    std::string old_;
};

} // namespace tw
