// The engine over the real calculator machine.
#pragma once

#include "runtime/engine/BasicCalculatorEngine.h"
#include "runtime/machine/CalculatorMachine.h"

namespace tw {

extern template class BasicCalculatorEngine<CalculatorMachine>;
using CalculatorEngine = BasicCalculatorEngine<CalculatorMachine>;
using EngineSnapshot = CalculatorEngine::Snapshot;

} // namespace tw
