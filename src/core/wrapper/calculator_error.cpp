#include "core/wrapper/calculator_error.h"

#include "core/tw.h"

namespace tw {

CalculatorError::CalculatorError(Kind kind, std::string message)
    : kind_(kind), message_(std::move(message)),
      description_(kind == Kind::fault ? "The emulated chip stopped: " + message_ : message_) {}

CalculatorError CalculatorError::fromStatus(int status, std::string message) {
    switch (status) {
    case TW_ERR_FIRMWARE: return firmware(std::move(message));
    case TW_ERR_STATE: return state(std::move(message));
    case TW_ERR_FAULT: return fault(std::move(message));
    default: return argument(std::move(message));
    }
}

} // namespace tw
