// The three calculators as data; CalculatorModel builds each once.
#pragma once

#include "runtime/catalog/calculator_model.h"

namespace tw {

CalculatorModel makeHp12c();
CalculatorModel makeHp15c();
CalculatorModel makeHp16c();

} // namespace tw
