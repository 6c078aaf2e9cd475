// The engine over the real calculator machine.
#pragma once

#include "runtime/engine/basic_calculator_engine.h"
#include "runtime/machine/calculator_machine.h"

namespace tw {

extern template class BasicCalculatorEngine<CalculatorMachine>;
using CalculatorEngine = BasicCalculatorEngine<CalculatorMachine>;
using EngineSnapshot = CalculatorEngine::Snapshot;

} // namespace tw
