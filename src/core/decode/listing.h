// The program as the calculators list it in program mode: one record per step with
// its line number, bytes, key codes and mnemonic.
#pragma once

#include "core/decode/context.h"

namespace tw::decode {

// Fills up to count records from line `first` on; the result's value is the number
// written. Arguments are checked by the caller (first >= 1, count >= 0).
Result programLines(const Context& c, int first, tw_prog_line* out, int count);

} // namespace tw::decode
