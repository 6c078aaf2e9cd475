// The connection the memory link talks through: 64-byte output reports out,
// input reports (length byte first) in. USBHIDTransport is the real one.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tw {

class CalculatorTransport {
public:
    virtual ~CalculatorTransport() = default;

    // Connects to the calculator; throws LinkError. A failure leaves nothing to close.
    virtual void open() = 0;
    // Releases the connection; allowed at any time, also when not open.
    virtual void close() noexcept = 0;
    // Sends one 64-byte output report; throws LinkError.
    virtual void send(std::span<const uint8_t> report) = 0;
    // The next input report, starting with its length byte, or nothing when none came
    // within the time-out (seconds); throws LinkError.
    virtual std::optional<std::vector<uint8_t>> receive(double timeout) = 0;
};

} // namespace tw
