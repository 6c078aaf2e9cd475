#include "usblink/usb_hid_transport.h"

#include "usblink/calculator_link.h"
#include "usblink/io_return.h"
#include "usblink/link_error.h"
#include "usblink/usb_log.h"

#include <array>
#include <cstdio>
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

    const int32_t initResult = api_->init() == 0 ? ioreturn::success : ioreturn::fromErrno(api_->lastErrno());
    managerOpen_ = true;
    usbLog([&] { return "hid_init -> " + ioReturnName(initResult); });

    const std::vector<HidDeviceInfo> devices = api_->enumerate(CalculatorLink::vendorID, CalculatorLink::productID);
    usbLog([&] { return "hid_enumerate -> " + std::to_string(devices.size()) + " device(s)"; });

    if (devices.empty()) {
        close();
        if (initResult == ioreturn::success || initResult == ioreturn::notFound) throw LinkError::noDevice();
        throw LinkError::accessDenied(initResult);
    }

    const HidDeviceInfo& device = devices.front();
    usbLog([&] {
        return "device: " + orDash(device.product) + " / " + orDash(device.manufacturer) + ", usage page " +
               orDash(device.usagePage) + " usage " + orDash(device.usage) +
               ", max input -, max output -, max feature -, transport " + orDash(device.transport);
    });
    const int32_t openResult = api_->openPath(device.path) ? ioreturn::success : ioreturn::fromErrno(api_->lastErrno());
    usbLog([&] { return "hid_open_path -> " + ioReturnName(openResult); });
    if (openResult != ioreturn::success) {
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
        usbLog([] { return "hid_close -> " + ioReturnName(ioreturn::success); });
    }
    if (managerOpen_) api_->exit();
    if (getReportFailures_ > 0) {
        usbLog([&] {
            return "hid_get_input_report failed " + std::to_string(getReportFailures_) + " times, last " +
                   ioReturnName(lastGetReportError_);
        });
        getReportFailures_ = 0;
    }
    deviceOpen_ = false;
    managerOpen_ = false;
}

void USBHIDTransport::send(std::span<const uint8_t> report) {
    if (!deviceOpen_) throw LinkError::noDevice();
    // hidapi wants the report ID in front of the report's own bytes.
    std::vector<uint8_t> data;
    data.reserve(report.size() + 1);
    data.push_back(reportID);
    data.insert(data.end(), report.begin(), report.end());
    const int written = api_->write(data);
    int32_t result = ioreturn::success;
    if (written < 0)
        result = ioreturn::fromErrno(api_->lastErrno());
    else if (std::size_t(written) < report.size())
        result = ioreturn::underrun;
    usbLog([&] {
        return "hid_write(Output, id 0, " + std::to_string(report.size()) + ") -> " + ioReturnName(result) + ": " +
               hexString(report);
    });
    if (result != ioreturn::success) {
        char text[128];
        std::snprintf(text, sizeof text, "sending a report failed (0x%08X); the calculator may have left USB mode",
                      unsigned(uint32_t(result)));
        throw LinkError::io(text);
    }
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
            const int32_t result = ioreturn::fromErrno(api_->lastErrno());
            if (getReportFailures_ == 0 || result != lastGetReportError_)
                usbLog([&] {
                    return "hid_get_input_report(Input, id 0) -> " + ioReturnName(result) + " len " +
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
        const int32_t result = ioreturn::fromErrno(api_->lastErrno());
        if (lastReadError_ != result) usbLog([&] { return "hid_read_timeout -> " + ioReturnName(result); });
        lastReadError_ = result;
        // A failing read returns at once; keep the step's length.
        clock_.sleep(pumpStep - (clock_.now() - start));
        return;
    }
    if (got == 0) return;
    std::vector<uint8_t> report(buffer.begin(), buffer.begin() + std::min<std::size_t>(std::size_t(got), buffer.size()));
    usbLog([&] {
        return "hid_read_timeout " + ioReturnName(ioreturn::success) + " len " + std::to_string(report.size()) + ": " +
               hexString(report);
    });
    callbackReports_.push_back(std::move(report));
}

} // namespace tw
