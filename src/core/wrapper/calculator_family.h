// The family of a loaded firmware as the core reports it (tw_family).
#pragma once

#include "core/tw.h"

#include <optional>

namespace tw {

enum class CalculatorFamily : int {
    none = TW_FAMILY_NONE,
    hp12c = TW_FAMILY_12C,
    hp15c = TW_FAMILY_15C,
    hp16c = TW_FAMILY_16C,
    multi = TW_FAMILY_MULTI, // one build that holds several calculators
};

// The family with this raw value; any other value gives none at all (not `none`).
constexpr std::optional<CalculatorFamily> calculatorFamily(int rawValue) {
    switch (rawValue) {
    case TW_FAMILY_NONE: return CalculatorFamily::none;
    case TW_FAMILY_12C: return CalculatorFamily::hp12c;
    case TW_FAMILY_15C: return CalculatorFamily::hp15c;
    case TW_FAMILY_16C: return CalculatorFamily::hp16c;
    case TW_FAMILY_MULTI: return CalculatorFamily::multi;
    default: return std::nullopt;
    }
}

} // namespace tw
