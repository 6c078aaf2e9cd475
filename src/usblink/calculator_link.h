// The memory protocol of the HP-12C/15C/16C CE calculators in their USB mode:
// reading the whole 2048-byte image, and writing its registers and program part
// back block by block, checked by reading it back. Knows nothing of USB itself.
#pragma once

#include "usblink/calculator_transport.h"
#include "usblink/link_clock.h"
#include "usblink/link_error.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace tw {

class CalculatorLink {
public:
    static constexpr uint16_t vendorID = 0x03F0;
    static constexpr uint16_t productID = 0x1341;
    static constexpr std::size_t reportSize = 64;
    static constexpr std::size_t memorySize = 2048;
    static constexpr std::size_t blockSize = 32;
    static constexpr uint8_t readCommand = 0xFE;
    static constexpr uint8_t writeCommand = 0x43;
    static constexpr std::size_t writableBegin = 112; // bytes a write replaces and the read-back compares
    static constexpr std::size_t writableEnd = 2032;
    static constexpr std::size_t doubleMemoryByte = 76;
    static constexpr uint8_t doubleMemoryMask = 0x08;
    static constexpr const char* usbModeHint =
        "Connect the calculator by USB, turn it off, hold f and ENTER and press ON.";

    using Report = std::array<uint8_t, reportSize>;

    explicit CalculatorLink(std::shared_ptr<CalculatorTransport> transport, LinkClock& clock = LinkClock::system());

    CalculatorTransport& transport() { return *transport_; }

    double readTimeout = 3.0;    // seconds one whole memory read may take after the request
    double commandPause = 0.1;   // seconds slept after the read request
    double packetPause = 0.001;  // seconds slept after each write report
    int writeAttempts = 3;       // attempts of send, read back and compare

    // Opens the transport, runs the operation and closes the transport whether the
    // operation returned or threw. A failed open goes out unchanged.
    template <class Operation>
    auto session(Operation&& operation) -> decltype(operation()) {
        transport_->open();
        struct Closer {
            CalculatorTransport& transport;
            ~Closer() { transport.close(); }
        } closer{*transport_};
        return operation();
    }

    // The calculator's whole image; the transport must be open.
    std::vector<uint8_t> readMemory();

    // Writes bytes 112..2031 of the image (and the double-memory flag when given),
    // verified by a read-back; returns the image read back. Opens and closes the transport.
    std::vector<uint8_t> writeMemory(std::span<const uint8_t> image, std::optional<bool> doubleMemory = std::nullopt);

    // Bit 3 of byte 76: the HP-15C's double-memory (15.2) setting.
    static bool isDoubleMemory(std::span<const uint8_t> image);

    // The pieces of the protocol, open to tests and the fuzzer.
    static Report readRequest();
    // Adds one reply report to the image being gathered; throws badReport.
    static void append(std::span<const uint8_t> report, std::vector<uint8_t>& image);
    // The 64 write reports of a whole image; throws wrongSize.
    static std::vector<Report> writePackets(std::span<const uint8_t> image);
    static std::vector<uint8_t> merge(std::span<const uint8_t> image, std::span<const uint8_t> current,
                                      std::optional<bool> doubleMemory);
    struct Difference {
        std::size_t count;
        std::size_t first;
    };
    static std::optional<Difference> compare(std::span<const uint8_t> a, std::span<const uint8_t> b);

private:
    void discardLeftovers();
    std::vector<uint8_t> writeOpen(std::span<const uint8_t> image, std::optional<bool> doubleMemory);

    std::shared_ptr<CalculatorTransport> transport_;
    LinkClock& clock_;
};

} // namespace tw
