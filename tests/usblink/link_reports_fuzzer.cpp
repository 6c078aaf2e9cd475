// Incoming USB reports of any shape, polled or from the interrupt queue, through the
// hidraw transport into a memory read: the read either yields a whole image or fails
// with a time-out or a bad report, and never reads outside a report.
#include "fake_hid_api.h"
#include "usblink/calculator_link.h"
#include "usblink/usb_hid_transport.h"
#include "usblink/usb_log.h"

#include <cerrno>
#include <cstdlib>

using namespace tw;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setUSBLogEnabled(false);
    FakeClock clock;
    auto fake = std::make_unique<FakeHidApi>(clock);
    FakeHidApi* api = fake.get();
    api->devices = {HidDeviceInfo{"/dev/hidraw-fuzz", {}, {}, {}, {}, {}}};
    api->idlePollErrno = EPIPE;

    // Each report: a head byte (top bit: interrupt queue, else get-report; the rest:
    // the report's length) followed by its bytes.
    std::vector<FakeHidApi::Poll> polls;
    std::vector<std::vector<uint8_t>> interrupts;
    for (size_t i = 0; i < size;) {
        const uint8_t head = data[i++];
        const size_t n = std::min<size_t>(head & 0x7F, size - i);
        std::vector<uint8_t> report(data + i, data + i + n);
        i += n;
        if (head & 0x80) {
            interrupts.push_back(std::move(report));
        } else {
            report.insert(report.begin(), 0);
            polls.push_back({std::move(report), 0});
        }
    }
    api->onWrite = [&](std::span<const uint8_t> report) {
        if (report.empty() || report[0] != CalculatorLink::readCommand) return;
        api->polls.insert(api->polls.end(), polls.begin(), polls.end());
        api->interrupts.insert(api->interrupts.end(), interrupts.begin(), interrupts.end());
        polls.clear();
        interrupts.clear();
    };

    auto transport = std::make_shared<USBHIDTransport>(std::move(fake), clock);
    CalculatorLink link(transport, clock);
    try {
        const std::vector<uint8_t> image = link.session([&] { return link.readMemory(); });
        if (image.size() != CalculatorLink::memorySize) std::abort();
    } catch (const LinkError& error) {
        if (error.kind() != LinkError::Kind::timeout && error.kind() != LinkError::Kind::badReport) std::abort();
        if (error.kind() == LinkError::Kind::timeout && error.received() >= CalculatorLink::memorySize) std::abort();
    }
    if (api->deviceOpen) std::abort();
    return 0;
}
