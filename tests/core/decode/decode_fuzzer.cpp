// Arbitrary memory images through every decoder, for each model and HP-16C layout:
// nothing may crash, read outside the image or leave a text unterminated.
#include "core/decode/keycodes.h"
#include "core/decode/listing.h"
#include "core/decode/pool.h"
#include "core/decode/registers.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

using namespace tw::decode;

template <size_t N>
void checkTerminated(const char (&field)[N])
{
    if (std::memchr(field, 0, N) == nullptr)
        std::abort();
}

void checkRegister(const tw_register& r)
{
    checkTerminated(r.text);
    checkTerminated(r.decimal);
    checkTerminated(r.name);
}

void decodeAll(const Context& c, uint8_t selector)
{
    struct tw_memory_status status{};
    memoryStatus(c, {1, selector, selector, 0}, status);

    tw_register r{};
    for (int i = -1; i <= kStackIndexCount; ++i) {
        stackRegister(c, i, r);
        checkRegister(r);
    }
    for (int n = -1; n <= static_cast<int>(status.registerCount) + 1 && n < 2000; ++n) {
        storageRegister(c, n, r);
        checkRegister(r);
    }

    static tw_prog_line lines[1100];
    const Result listed = programLines(c, 1 + selector % 8, lines, 1100);
    if (listed.value < 0 || listed.value > 1100)
        std::abort();
    for (int i = 0; i < listed.value; ++i) {
        checkTerminated(lines[i].keys);
        checkTerminated(lines[i].mnemonic);
    }

    tw_pool pool{};
    if (poolStatus(c, pool).value == TW_OK)
        checkTerminated(pool.gmem);
    for (int i = -1; i <= kImaginaryCount; ++i) {
        imaginaryRegister(c, i, r);
        checkRegister(r);
    }
    for (int m = -1; m <= kMatrixCount; ++m)
        for (int row = 0; row <= 4; ++row)
            for (int col = 0; col <= 4; ++col) {
                matrixElement(c, m, row, col, r);
                checkRegister(r);
            }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // An image of exactly 2048 bytes on the heap, so that any read past it is caught.
    auto image = std::make_unique<uint8_t[]>(TW_MEMORY_SIZE);
    std::memcpy(image.get(), data + 1, std::min<size_t>(size - 1, TW_MEMORY_SIZE));
    const uint8_t selector = data[0];

    const Hp16Layout layouts[] = {hp16Layout(0, 0, 0), hp16Layout(16, 1, 0), hp16Layout(99, 0, 348)};
    const uint32_t models[][2] = {{12, 120}, {15, 150}, {15, 152}, {16, 160}, {0, 0}, {13, 130}};
    for (const auto& model : models) {
        for (const Hp16Layout& layout : layouts) {
            Context c{image.get(), model[0], model[1], layout};
            decodeAll(c, selector);
            if (model[0] != 16)
                break;
        }
    }
    return 0;
}
