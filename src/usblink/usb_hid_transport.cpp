#include "usblink/usb_hid_transport.h"

#include "usblink/calculator_link.h"
#include "usblink/hid_result.h"
#include "usblink/link_error.h"
#include "usblink/usb_log.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace tw {

namespace {

constexpr double pumpStep = 0.01;
constexpr int pumpStepMilliseconds = 10;
constexpr uint8_t reportID = 0;

std::string orDash(const std::optional<std::string>& text) { return text ? *text : "-"; }
std::string orDash(const std::optional<unsigned>& number) { return number ? std::to_string(*number) : "-"; }

bool onMainThread() { return gettid() == getpid(); }

// Flatpak and Snap are Linux's application sandboxes.
bool sandboxed() { return std::getenv("FLATPAK_ID") != nullptr || std::getenv("SNAP") != nullptr; }

} // namespace

USBHIDTransport::USBHIDTransport() : USBHIDTransport(HidApi::hidraw()) {}

USBHIDTransport::USBHIDTransport(std::unique_ptr<HidApi> api, LinkClock& clock) : api_(std::move(api)), clock_(clock) {}

USBHIDTransport::~USBHIDTransport() { close(); }

std::filesystem::path USBHIDTransport::logURL() { return usbLogPath(); }

void USBHIDTransport::open() {
    close();
    usbLog([] {
        return std::string("---- open (thread ") + (onMainThread() ? "main" : "USB queue") +
               ", sandboxed: " + (sandboxed() ? "true" : "false") + ")";
    });

    const int initResult = api_->init() == 0 ? 0 : failureErrno(*api_);
    managerOpen_ = true;
    usbLog([&] { return "hid_init -> " + hidResultName(initResult); });

    const std::vector<HidDeviceInfo> devices = api_->enumerate(CalculatorLink::vendorID, CalculatorLink::productID);
    usbLog([&] { return "hid_enumerate -> " + std::to_string(devices.size()) + " device(s)"; });

    if (devices.empty()) {
        close();
        if (initResult == 0) throw LinkError::noDevice();
        throw LinkError::accessDenied(initResult);
    }

    const HidDeviceInfo& device = devices.front();
    usbLog([&] {
        return "device: " + orDash(device.product) + " / " + orDash(device.manufacturer) + ", usage page " +
               orDash(device.usagePage) + " usage " + orDash(device.usage) + ", transport " +
               orDash(device.transport);
    });
    const int openResult = api_->openPath(device.path) ? 0 : failureErrno(*api_);
    usbLog([&] { return "hid_open_path -> " + hidResultName(openResult); });
    if (openResult != 0) {
        close();
        throw LinkError::accessDenied(openResult);
    }

    deviceOpen_ = true;
    callbackReports_.clear();
    getReportWorked_ = false;
    loggedEmpty_ = false;
    getReportFailures_ = 0;
    lastReadError_.reset();
}

void USBHIDTransport::close() noexcept {
    if (deviceOpen_) {
        api_->close();
        usbLog([] { return "hid_close -> " + hidResultName(0); });
    }
    if (managerOpen_) api_->exit();
    if (getReportFailures_ > 0) {
        usbLog([&] {
            return "hid_get_input_report failed " + std::to_string(getReportFailures_) + " times, last " +
                   hidResultName(lastGetReportError_);
        });
        getReportFailures_ = 0;
    }
    deviceOpen_ = false;
    managerOpen_ = false;
}

void USBHIDTransport::send(std::span<const uint8_t> report) {
    if (!deviceOpen_) throw LinkError::noDevice();
    // hidapi wants the report ID in front of the report's own bytes. Sized at once: GCC 14
    // warns that push_back() after reserve() may free a pointer into the buffer's middle
    // (-Wfree-nonheap-object), a false alarm.
    std::vector<uint8_t> data(report.size() + 1);
    data[0] = reportID;
    std::copy(report.begin(), report.end(), data.begin() + 1);
    const int written = api_->write(data);
    // The outcome for the log, and the reason for the message when it failed.
    std::string result = hidResultName(0);
    std::string reason;
    if (written < 0) {
        const int error = failureErrno(*api_);
        result = hidResultName(error);
        reason = errnoText(error);
    } else if (std::size_t(written) < report.size()) {
        reason = "only " + std::to_string(written) + " of " + std::to_string(data.size()) + " bytes written";
        result = "short write (" + reason + ")";
    }
    usbLog([&] {
        return "hid_write(Output, id 0, " + std::to_string(report.size()) + ") -> " + result + ": " +
               hexString(report);
    });
    if (!reason.empty())
        throw LinkError::io("sending a report failed (" + reason + "); the calculator may have left USB mode");
}

std::optional<std::vector<uint8_t>> USBHIDTransport::receive(double timeout) {
    if (!deviceOpen_) throw LinkError::noDevice();
    const double deadline = clock_.now() + timeout;
    std::array<uint8_t, CalculatorLink::reportSize + 1> poll{};
    for (;;) {
        if (!getReportWorked_ && !callbackReports_.empty()) {
            std::vector<uint8_t> report = std::move(callbackReports_.front());
            callbackReports_.pop_front();
            return report;
        }

        poll.fill(0);
        poll[0] = reportID;
        const int got = api_->getInputReport(poll);
        if (got < 0) {
            const int result = failureErrno(*api_);
            if (getReportFailures_ == 0 || result != lastGetReportError_)
                usbLog([&] {
                    return "hid_get_input_report(Input, id 0) -> " + hidResultName(result) + " len " +
                           std::to_string(CalculatorLink::reportSize);
                });
            ++getReportFailures_;
            lastGetReportError_ = result;
        } else if (got > 1) {
            // Byte 0 is the report ID; the report itself follows.
            const std::size_t length = std::min<std::size_t>(std::size_t(got) - 1, CalculatorLink::reportSize);
            const std::span<const uint8_t> report(poll.data() + 1, length);
            if (report[0] != 0) {
                if (!getReportWorked_) usbLog("hid_get_input_report(Input, id 0) works; using it (as OrvaneInterface)");
                getReportWorked_ = true;
                callbackReports_.clear();
                usbLog([&] {
                    return "hid_get_input_report(Input) len " + std::to_string(length) + ": " + hexString(report);
                });
                return std::vector<uint8_t>(report.begin(), report.end());
            }
            if (!loggedEmpty_) {
                usbLog("hid_get_input_report(Input) -> success, empty report (length byte 0)");
                loggedEmpty_ = true;
            }
        }

        pump();
        if (clock_.now() >= deadline) return std::nullopt;
    }
}

// Waits one step for an interrupt report and queues it; the kernel's hidraw queue
// stands where an input-report callback would.
void USBHIDTransport::pump() {
    std::array<uint8_t, CalculatorLink::reportSize> buffer{};
    const double start = clock_.now();
    const int got = api_->readTimeout(buffer, pumpStepMilliseconds);
    if (got < 0) {
        const int result = failureErrno(*api_);
        if (lastReadError_ != result) usbLog([&] { return "hid_read_timeout -> " + hidResultName(result); });
        lastReadError_ = result;
        // A failing read returns at once; keep the step's length.
        clock_.sleep(pumpStep - (clock_.now() - start));
        return;
    }
    if (got == 0) return;
    std::vector<uint8_t> report(buffer.begin(), buffer.begin() + std::min<std::size_t>(std::size_t(got), buffer.size()));
    usbLog([&] {
        return "hid_read_timeout " + hidResultName(0) + " len " + std::to_string(report.size()) + ": " +
               hexString(report);
    });
    callbackReports_.push_back(std::move(report));
}

} // namespace tw
