// The handful of hidapi calls the USB transport makes, behind an interface of our
// own so that the transport can be driven by a fake in tests. One device at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tw {

struct HidDeviceInfo {
    std::string path;
    std::optional<std::string> product;
    std::optional<std::string> manufacturer;
    std::optional<unsigned> usagePage;
    std::optional<unsigned> usage;
    std::optional<std::string> transport; // "USB", "Bluetooth", …
};

class HidApi {
public:
    virtual ~HidApi() = default;

    // hid_init and hid_exit: 0 or -1.
    virtual int init() = 0;
    virtual void exit() = 0;
    // hid_enumerate: the matching devices in hidapi's order.
    virtual std::vector<HidDeviceInfo> enumerate(uint16_t vendorID, uint16_t productID) = 0;
    // hid_open_path and hid_close: the one open device.
    virtual bool openPath(const std::string& path) = 0;
    virtual void close() = 0;
    // hid_write: the report ID in byte 0, then the report; bytes written or -1.
    virtual int write(std::span<const uint8_t> data) = 0;
    // hid_get_input_report: byte 0 holds the report ID on entry and on return; bytes
    // read including the report ID, or -1.
    virtual int getInputReport(std::span<uint8_t> data) = 0;
    // hid_read_timeout: one interrupt input report (no report ID for an unnumbered
    // report); bytes read, 0 when none came in time, or -1.
    virtual int readTimeout(std::span<uint8_t> data, int milliseconds) = 0;
    // The errno of the last call that failed (0 when it left none).
    virtual int lastErrno() const = 0;

    // The real hidapi, hidraw backend.
    static std::unique_ptr<HidApi> hidraw();
};

} // namespace tw
