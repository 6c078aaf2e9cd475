#include "runtime/engine/calculator_engine.h"

namespace tw {

template class BasicCalculatorEngine<CalculatorMachine>;

} // namespace tw
