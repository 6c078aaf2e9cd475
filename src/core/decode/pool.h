// The HP-15C's shared register pool: its bookkeeping, the imaginary stack of complex
// mode and the elements of the matrices A to E.
#pragma once

#include "core/decode/context.h"

namespace tw::decode {

enum { kPoolTop = 256, kMatrixCount = 5, kImaginaryCount = 5 };

Result poolStatus(const Context& c, tw_pool& out);
// Index 0 to 4: X, Y, Z, T, LAST X.
Result imaginaryRegister(const Context& c, int index, tw_register& out);
// Matrix 0 to 4 (A to E), row and column from 1.
Result matrixElement(const Context& c, int matrix, int row, int column, tw_register& out);

// The image offset of pool register u.
constexpr int poolRegisterOffset(int u) { return 8 * u - 16; }

} // namespace tw::decode
