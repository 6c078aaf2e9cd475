#include "core/decode/pool.h"

#include "core/decode/register_value.h"
#include "core/decode/text_out.h"

#include <cstdio>

namespace tw::decode {

namespace {

constexpr int kStartBytes[kMatrixCount] = {285, 284, 283, 282, 281};
constexpr int kRowBytes[kMatrixCount] = {318, 316, 314, 326, 324};
constexpr int kColumnBytes[kMatrixCount] = {317, 315, 313, 325, 323};
constexpr const char* kImaginaryNames[kImaginaryCount] = {"X i", "Y i", "Z i", "T i", "LAST X i"};

int byteOf(const Context& c, int offset) { return static_cast<int>(byteAt(c, offset)); }

// Registers between the pool base and R2 that are neither storage nor the imaginary
// stack: the SOLVE/integrate workspace while it is in use, else a gap.
void workspace(const Context& c, tw_pool& p)
{
    const int d = p.data - (p.base + 5 * p.complex);
    if (d == 5 || d == 23 || d == 28) {
        if (byteOf(c, 278) >= 240) {
            bool busy = false;
            for (int i = 136; i <= 142; ++i)
                busy = busy || byteOf(c, i) != 0;
            (busy ? p.scratch : p.gap) = d;
        } else {
            p.gap = d;
        }
    } else if (d >= 1) {
        p.gap = d;
    }
}

} // namespace

Result poolStatus(const Context& c, tw_pool& out)
{
    out = tw_pool{};
    if (c.model != 15)
        return fail(TW_ERR_STATE, "Only the HP-15C keeps a memory pool.");
    tw_pool& p = out;
    p.variant = c.modelCode == 152 ? 152 : 150;
    p.base = p.variant == 152 ? 64 : 160;
    p.top = kPoolTop;
    p.data = byteOf(c, 286);
    for (int m = 0; m < kMatrixCount; ++m) {
        p.starts[m] = byteOf(c, kStartBytes[m]);
        p.rows[m] = byteOf(c, kRowBytes[m]);
        p.cols[m] = byteOf(c, kColumnBytes[m]);
        p.matrixRegisters += p.rows[m] * p.cols[m];
    }
    p.pool = byteOf(c, 280) == 0 ? kPoolTop : byteOf(c, 280);
    const int result = byteOf(c, 322);
    p.result = result >= 160 && (result >> 4) < 15 ? (result >> 4) - 10 : 0;
    p.complex = (byteOf(c, 76) >> 3) & 1;
    workspace(c, p);
    p.storage = byteOf(c, 285) - byteOf(c, 286);
    if (p.storage < 0)
        p.storage = 0;
    p.dimI = p.storage + 1;

    const int low = byteOf(c, 288);
    const int q = byteOf(c, 289) & 0xF;
    p.programLow = q != 0 ? low : kPoolTop;
    p.programRegisters = q != 0 ? kPoolTop - low : 0;
    p.programBytes = q != 0 ? q + 7 * (255 - low) : 0;

    const int total = (p.variant == 152 ? 192 : 96) - 5 * p.complex;
    p.free = total - (p.storage + p.programRegisters + p.matrixRegisters);
    char gmem[64];
    std::snprintf(gmem, sizeof gmem, "%d %d %02d-%d", p.dimI, p.free, p.programRegisters,
                  7 * p.programRegisters - p.programBytes);
    TextOut(p.gmem, sizeof p.gmem).put(gmem);
    return ok();
}

Result imaginaryRegister(const Context& c, int index, tw_register& out)
{
    if (index < 0 || index >= kImaginaryCount)
        return fail(TW_ERR_ARGUMENT);
    tw_pool pool;
    const Result status = poolStatus(c, pool);
    if (status.value != TW_OK)
        return status;
    if (!pool.complex)
        return fail(TW_ERR_STATE, "The HP-15C is not in complex mode, so it keeps no imaginary stack.");
    out = tw_register{};
    TextOut(out.name, sizeof out.name).put(kImaginaryNames[index]);
    formatDecimal(registerWord(c, poolRegisterOffset(pool.data - 1 - index)), out);
    return ok();
}

Result matrixElement(const Context& c, int matrix, int row, int column, tw_register& out)
{
    if (matrix < 0 || matrix >= kMatrixCount || row < 1 || column < 1)
        return fail(TW_ERR_ARGUMENT);
    tw_pool pool;
    const Result status = poolStatus(c, pool);
    if (status.value != TW_OK)
        return status;
    if (row > pool.rows[matrix] || column > pool.cols[matrix])
        return fail(TW_ERR_ARGUMENT);
    const int element = pool.cols[matrix] * (row - 1) + column - 1;
    const int reg = pool.starts[matrix] + element;
    if (reg >= kPoolTop || reg < pool.base)
        return fail(TW_ERR_STATE, "The matrix element lies outside the HP-15C's memory pool.");
    out = tw_register{};
    char name[32];
    std::snprintf(name, sizeof name, "%c %d,%d", 'A' + matrix, row % 100, column % 100);
    TextOut(out.name, sizeof out.name).put(name);
    formatDecimal(registerWord(c, poolRegisterOffset(reg)), out);
    return ok();
}

} // namespace tw::decode
