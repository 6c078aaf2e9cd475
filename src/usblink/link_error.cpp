#include "usblink/link_error.h"

#include "usblink/calculator_link.h"
#include "usblink/hid_result.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#ifndef TW_UDEV_RULE
#define TW_UDEV_RULE "/usr/lib/udev/rules.d/70-tarnwick-calculator.rules"
#endif

namespace tw {

const char* const LinkError::udevRulePath = TW_UDEV_RULE;

LinkError::LinkError(Kind kind, int code, std::string text, std::size_t first, std::size_t second)
    : kind_(kind), code_(code), text_(std::move(text)), first_(first), second_(second) {
    describe();
}

LinkError LinkError::accessDenied(int errnoValue) { return LinkError(Kind::accessDenied, errnoValue, {}, 0, 0); }
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
        message_ = "Linux did not allow access to the calculator's USB connection (" + errnoText(code_) + ").";
        // The rule helps only when permission was refused; for a busy or vanished
        // device the reason says what happened.
        if (code_ == EACCES || code_ == EPERM)
            message_ += std::string(" Install the udev rule ") + udevRulePath +
                        " in /etc/udev/rules.d and reconnect the calculator.";
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
