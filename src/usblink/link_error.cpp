#include "usblink/link_error.h"

#include "usblink/calculator_link.h"

#include <cstdio>
#include <utility>

namespace tw {

LinkError::LinkError(Kind kind, int32_t code, std::string text, std::size_t first, std::size_t second)
    : kind_(kind), code_(code), text_(std::move(text)), first_(first), second_(second) {
    describe();
}

LinkError LinkError::accessDenied(int32_t code) { return LinkError(Kind::accessDenied, code, {}, 0, 0); }
LinkError LinkError::io(std::string text) { return LinkError(Kind::io, 0, std::move(text), 0, 0); }
LinkError LinkError::timeout(std::size_t received) { return LinkError(Kind::timeout, 0, {}, received, 0); }
LinkError LinkError::badReport(unsigned length) { return LinkError(Kind::badReport, 0, {}, length, 0); }
LinkError LinkError::wrongSize(std::size_t size) { return LinkError(Kind::wrongSize, 0, {}, size, 0); }
LinkError LinkError::mismatch(std::size_t differences, std::size_t firstOffset) {
    return LinkError(Kind::mismatch, 0, {}, differences, firstOffset);
}
LinkError LinkError::noDevice() { return LinkError(Kind::noDevice, 0, {}, 0, 0); }

void LinkError::describe() {
    const std::string memorySize = std::to_string(CalculatorLink::memorySize);
    char buffer[256];
    switch (kind_) {
    case Kind::accessDenied:
        std::snprintf(buffer, sizeof buffer,
                      "Linux did not allow access to the calculator's USB connection (hidraw error 0x%08X). "
                      "Install the udev rule 70-tarnwick-calculator.rules and reconnect the calculator.",
                      unsigned(uint32_t(code_)));
        message_ = buffer;
        break;
    case Kind::io:
        message_ = "USB error: " + text_;
        break;
    case Kind::timeout:
        message_ = "The calculator stopped answering (" + std::to_string(first_) + " of " + memorySize +
                   " bytes received). " + CalculatorLink::usbModeHint;
        break;
    case Kind::badReport:
        message_ = "The calculator sent an unexpected USB report (length byte " + std::to_string(first_) + ").";
        break;
    case Kind::wrongSize:
        message_ = "A calculator memory image is " + memorySize + " bytes, not " + std::to_string(first_) + ".";
        break;
    case Kind::mismatch:
        std::snprintf(buffer, sizeof buffer, "Read-back check failed: %zu of %zu bytes differ (first at offset 0x%03zX).",
                      first_, CalculatorLink::memorySize, second_);
        message_ = buffer;
        break;
    case Kind::noDevice:
        message_ = std::string("No calculator found. ") + CalculatorLink::usbModeHint;
        break;
    }
}

} // namespace tw
