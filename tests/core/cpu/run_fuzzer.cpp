// Random code and registers for a bounded run: any input must end in one of the
// run results, never a crash or an access outside the emulated memories.
#include "core/cpu/bare_cpu.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cstdlib>

namespace {

int stopHook(void*, uint32_t, void*) { return 1; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tw::test::BareCpu* machine = new tw::test::BareCpu; // reused: resetting 320 KB per input is slow
    tw::test::BareCpu& m = *machine;
    tw_cpu_reset(&m.cpu);
    // Header: 16 registers' worth of bytes, then code for flash at 0x1000 and RAM.
    uint32_t regs[16] = {};
    size_t header = size < sizeof regs ? size : sizeof regs;
    std::memcpy(regs, data, header);
    data += header;
    size -= header;
    for (int r = 0; r < 15; ++r) m.cpu.regs[r] = (r % 3 == 0) ? 0x20000000u + (regs[r] & 0xFFFF) : regs[r];
    m.cpu.flagN = regs[15] & 1, m.cpu.flagZ = regs[15] >> 1 & 1, m.cpu.flagC = regs[15] >> 2 & 1;
    m.cpu.flagV = regs[15] >> 3 & 1;
    size_t code = size < 0x2000 ? size : 0x2000;
    std::memset(m.flash.data() + 0x1000, 0, 0x2000);
    std::memcpy(m.flash.data() + 0x1000, data, code);
    std::memcpy(m.ram.data(), data, code);
    m.cpu.regs[15] = (regs[15] >> 4 & 1) ? 0x20000000 : 0x1000;
    if (regs[15] >> 5 & 1) tw_cpu_add_hook(&m.cpu, 0x1000 + (regs[15] >> 8 & 0xFE), stopHook, nullptr);

    int result = m.run(20000, 0x1000 + (regs[15] >> 16 & 0xFFE));
    if (result < TW_RUN_BUDGET || result > TW_RUN_FAULT) std::abort();
    if (result == TW_RUN_FAULT && (m.cpu.faultText[0] == 0 || !m.cpu.faultFlag)) std::abort();
    if (m.cpu.regs[15] & 1) std::abort();
    return 0;
}
