// The one error type of the USB link. Every case carries what the user is told:
// what() and errorDescription() give the message shown in the application's alert.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

namespace tw {

class LinkError : public std::exception {
public:
    enum class Kind { accessDenied, io, timeout, badReport, wrongSize, mismatch, noDevice };

    // The transport could not open the HID layer or the device; the errno it failed with.
    static LinkError accessDenied(int errnoValue);
    // Sending a report failed.
    static LinkError io(std::string text);
    // A memory read did not complete in time; the image bytes gathered so far.
    static LinkError timeout(std::size_t received);
    // A reply report broke the framing; its length byte.
    static LinkError badReport(unsigned length);
    // An image to write is not a whole memory image; its size.
    static LinkError wrongSize(std::size_t size);
    // The read-back after a write differs from what was written.
    static LinkError mismatch(std::size_t differences, std::size_t firstOffset);
    // No calculator was found, or the transport was used while not open.
    static LinkError noDevice();

    Kind kind() const { return kind_; }
    int code() const { return code_; }                 // accessDenied: the errno
    const std::string& text() const { return text_; }  // io
    std::size_t received() const { return first_; }    // timeout
    unsigned length() const { return unsigned(first_); } // badReport
    std::size_t size() const { return first_; }        // wrongSize
    std::size_t differences() const { return first_; } // mismatch
    std::size_t firstOffset() const { return second_; } // mismatch

    // Where `cmake --install` put the udev rule that lets the logged-in user open the calculator.
    static const char* const udevRulePath;

    std::string errorDescription() const { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

    friend bool operator==(const LinkError& a, const LinkError& b) {
        return a.kind_ == b.kind_ && a.code_ == b.code_ && a.text_ == b.text_ && a.first_ == b.first_ &&
               a.second_ == b.second_;
    }

private:
    LinkError(Kind kind, int code, std::string text, std::size_t first, std::size_t second);
    void describe();

    Kind kind_;
    int code_;
    std::string text_;
    std::size_t first_;
    std::size_t second_;
    std::string message_;
};

} // namespace tw
