// The calculator as a USB HID device (vendor 0x03F0, product 0x1341) through
// hidapi's hidraw backend: 64-byte output reports with report ID 0; input reports
// from the device's interrupt queue first, then by polling get-report once that has
// worked. Every step goes to the USB log.
#pragma once

#include "usblink/calculator_transport.h"
#include "usblink/hid_api.h"
#include "usblink/link_clock.h"

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>

namespace tw {

class USBHIDTransport final : public CalculatorTransport {
public:
    USBHIDTransport();
    explicit USBHIDTransport(std::unique_ptr<HidApi> api, LinkClock& clock = LinkClock::system());
    ~USBHIDTransport() override;
    USBHIDTransport(const USBHIDTransport&) = delete;
    USBHIDTransport& operator=(const USBHIDTransport&) = delete;

    void open() override;
    void close() noexcept override;
    void send(std::span<const uint8_t> report) override;
    std::optional<std::vector<uint8_t>> receive(double timeout) override;

    // The USB log file, also revealed by the application's menu.
    static std::filesystem::path logURL();

private:
    void pump();

    std::unique_ptr<HidApi> api_;
    LinkClock& clock_;
    bool managerOpen_ = false; // hid_init was called and hid_exit is due
    bool deviceOpen_ = false;
    std::deque<std::vector<uint8_t>> callbackReports_; // interrupt reports not yet taken, oldest first
    bool getReportWorked_ = false;
    int getReportFailures_ = 0;
    int lastGetReportError_ = 0; // errno of the last failed poll
    bool loggedEmpty_ = false;
    std::optional<int> lastReadError_;
};

} // namespace tw
