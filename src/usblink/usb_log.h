// The USB log: one time-stamped line per step of each USB job, appended to
// $XDG_STATE_HOME/Tarnwick/Logs/Tarnwick-usb.log (default ~/.local/state).
// Safe from any thread; logging never fails its caller.
#pragma once

#include <concepts>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace tw {

// The application's "usbLog" setting; on until switched off.
void setUSBLogEnabled(bool enabled);
bool usbLogEnabled();

// Where the log file lives, computed on every use.
std::filesystem::path usbLogPath();

// The parts of one append: the time stamp of now, and the line written under the lock.
std::string usbLogTimeStamp();
void usbLogAppend(const std::string& stamp, std::string_view message);

// Appends one line when the log is on.
void usbLog(std::string_view message);

// Appends one line whose message is computed only when the log is on.
template <std::invocable MakeMessage>
void usbLog(MakeMessage&& makeMessage) {
    if (!usbLogEnabled()) return;
    const std::string stamp = usbLogTimeStamp();
    const std::string message = makeMessage();
    usbLogAppend(stamp, message);
}

// The job lines written around each USB job.
void usbLogSessionHeader(std::string_view title);
void usbLogDone();
void usbLogFailed(const std::exception& error);
void usbLogWatchdog(double seconds);
void usbLogStarted();

// Bytes as upper-case hex pairs, trailing zero bytes folded into " +N×00".
std::string hexString(std::span<const uint8_t> bytes);

} // namespace tw
