// The family of a loaded firmware as the core reports it (tw_family).
#pragma once

#include <optional>

namespace tw {

enum class CalculatorFamily : int {
    none = 0,
    hp12c = 12,
    hp15c = 15,
    hp16c = 16,
    multi = 99, // one build that holds several calculators
};

// The family with this raw value; any other value gives none at all (not `none`).
constexpr std::optional<CalculatorFamily> calculatorFamily(int rawValue) {
    switch (rawValue) {
    case 0: return CalculatorFamily::none;
    case 12: return CalculatorFamily::hp12c;
    case 15: return CalculatorFamily::hp15c;
    case 16: return CalculatorFamily::hp16c;
    case 99: return CalculatorFamily::multi;
    default: return std::nullopt;
    }
}

} // namespace tw
