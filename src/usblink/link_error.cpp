#include "usblink/link_error.h"

#include "usblink/calculator_link.h"

#include <cstdio>
#include <utility>

LinkError LinkError::accessDenied(int32_t code) {
    LinkError e(Kind::accessDenied);
    e.code_ = code;
    e.describe();
    return e;
}

LinkError LinkError::io(std::string text) {
    LinkError e(Kind::io);
    e.text_ = std::move(text);
    e.describe();
    return e;
}

LinkError LinkError::timeout(std::size_t received) {
    LinkError e(Kind::timeout);
    e.first_ = received;
    e.describe();
    return e;
}

LinkError LinkError::badReport(unsigned length) {
    LinkError e(Kind::badReport);
    e.first_ = length;
    e.describe();
    return e;
}

LinkError LinkError::wrongSize(std::size_t size) {
    LinkError e(Kind::wrongSize);
    e.first_ = size;
    e.describe();
    return e;
}

LinkError LinkError::mismatch(std::size_t differences, std::size_t firstOffset) {
    LinkError e(Kind::mismatch);
    e.first_ = differences;
    e.second_ = firstOffset;
    e.describe();
    return e;
}

LinkError LinkError::noDevice() {
    LinkError e(Kind::noDevice);
    e.describe();
    return e;
}

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
