// The typed error of the core wrapper: what a negative status of the core means,
// with the core's last-error text.
#pragma once

#include <exception>
#include <string>

namespace tw {

class CalculatorError : public std::exception {
public:
    enum class Kind { firmware, state, fault, argument };

    CalculatorError(Kind kind, std::string message);

    static CalculatorError firmware(std::string message) { return {Kind::firmware, std::move(message)}; }
    static CalculatorError state(std::string message) { return {Kind::state, std::move(message)}; }
    static CalculatorError fault(std::string message) { return {Kind::fault, std::move(message)}; }
    static CalculatorError argument(std::string message) { return {Kind::argument, std::move(message)}; }

    // -2 firmware, -3 state, -4 fault, any other status argument.
    static CalculatorError fromStatus(int status, std::string message);

    Kind kind() const { return kind_; }
    const std::string& message() const { return message_; }
    // The text shown to the user: the message, prefixed for a fault of the chip.
    const std::string& description() const { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

    friend bool operator==(const CalculatorError& a, const CalculatorError& b) {
        return a.kind_ == b.kind_ && a.message_ == b.message_;
    }

private:
    Kind kind_;
    std::string message_;
    std::string description_;
};

} // namespace tw
