#include "runtime/engine/CalculatorEngine.h"

namespace tw {

template class BasicCalculatorEngine<CalculatorMachine>;

} // namespace tw
