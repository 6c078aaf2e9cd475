// HidApi over the real hidapi library (hidraw backend).
#include "usblink/hid_api.h"

#include <hidapi.h>

#include <cerrno>
#include <cwchar>

namespace tw {

namespace {

std::optional<std::string> utf8(const wchar_t* text) {
    if (!text) return std::nullopt;
    std::string out;
    for (; *text; ++text) {
        const auto c = uint32_t(*text);
        if (c < 0x80) {
            out.push_back(char(c));
        } else if (c < 0x800) {
            out.push_back(char(0xC0 | c >> 6));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(char(0xE0 | c >> 12));
            out.push_back(char(0x80 | (c >> 6 & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else if (c < 0x110000) {
            out.push_back(char(0xF0 | c >> 18));
            out.push_back(char(0x80 | (c >> 12 & 0x3F)));
            out.push_back(char(0x80 | (c >> 6 & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::optional<std::string> busName(hid_bus_type bus) {
    switch (bus) {
    case HID_API_BUS_USB: return "USB";
    case HID_API_BUS_BLUETOOTH: return "Bluetooth";
    case HID_API_BUS_I2C: return "I2C";
    case HID_API_BUS_SPI: return "SPI";
    default: return std::nullopt;
    }
}

class HidrawApi final : public HidApi {
public:
    ~HidrawApi() override { close(); }

    int init() override { return remember(hid_init()); }
    void exit() override { hid_exit(); }

    std::vector<HidDeviceInfo> enumerate(uint16_t vendorID, uint16_t productID) override {
        std::vector<HidDeviceInfo> devices;
        hid_device_info* list = hid_enumerate(vendorID, productID);
        for (const hid_device_info* d = list; d; d = d->next) {
            HidDeviceInfo info;
            info.path = d->path ? d->path : "";
            info.product = utf8(d->product_string);
            info.manufacturer = utf8(d->manufacturer_string);
            info.usagePage = d->usage_page;
            info.usage = d->usage;
            info.transport = busName(d->bus_type);
            devices.push_back(std::move(info));
        }
        hid_free_enumeration(list);
        return devices;
    }

    bool openPath(const std::string& path) override {
        close();
        errno = 0;
        device_ = hid_open_path(path.c_str());
        if (!device_) lastErrno_ = errno;
        return device_ != nullptr;
    }

    void close() override {
        if (device_) hid_close(device_);
        device_ = nullptr;
    }

    int write(std::span<const uint8_t> data) override {
        if (!device_) return fail(EBADF);
        errno = 0;
        return remember(hid_write(device_, data.data(), data.size()));
    }

    int getInputReport(std::span<uint8_t> data) override {
        if (!device_) return fail(EBADF);
        errno = 0;
        return remember(hid_get_input_report(device_, data.data(), data.size()));
    }

    int readTimeout(std::span<uint8_t> data, int milliseconds) override {
        if (!device_) return fail(EBADF);
        errno = 0;
        return remember(hid_read_timeout(device_, data.data(), data.size(), milliseconds));
    }

    int lastErrno() const override { return lastErrno_; }

private:
    int remember(int result) {
        if (result < 0) lastErrno_ = errno;
        return result;
    }
    int fail(int error) {
        lastErrno_ = error;
        return -1;
    }

    hid_device* device_ = nullptr;
    int lastErrno_ = 0;
};

} // namespace

std::unique_ptr<HidApi> HidApi::hidraw() { return std::make_unique<HidrawApi>(); }

} // namespace tw
