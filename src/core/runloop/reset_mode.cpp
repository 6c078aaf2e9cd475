// The reset into a run mode: flash, RAM, windows, register store, bus and CPU.
#include "core/machine.h"
#include "core/memory_map.h"
#include "core/bus/peripherals.h"

#include <algorithm>
#include <cstring>

namespace {

using tw::kFirmwareBase;
constexpr uint64_t kRunnerFirmwareLimit = 114'688;

} // namespace

extern "C" void tw_reset_mode(tw_machine* m, int mode) {
    if (!m) return;
    const bool runner = mode == TW_MODE_RUNNER;

    std::memset(m->flash.get(), 0, tw_machine::kFlashCapacity);
    uint64_t copy = std::min<uint64_t>(m->firmwareSize, tw_machine::kFlashCapacity - kFirmwareBase);
    if (runner) copy = std::min(copy, kRunnerFirmwareLimit);
    if (m->firmware && copy) std::memcpy(m->flash.get() + kFirmwareBase, m->firmware.get(), copy);

    std::memset(m->ram.get(), 0, tw_machine::kRamCapacity);
    std::memset(m->window64k.get(), 0, 64 * 1024);
    std::memset(m->window4k.get(), 0xFF, 4 * 1024);
    tw::clearRegisterStore(m);

    m->cpu.bus = {
        .flash = m->flash.get(),
        .flashSize = runner ? 128 * 1024 : tw_machine::kFlashCapacity,
        .ram = m->ram.get(),
        .ramSize = runner ? tw_machine::kRunnerRamSize : tw_machine::kRamCapacity,
        .context = m,
        .read = runner ? tw::runnerBusRead : tw::calculatorBusRead,
        .write = runner ? tw::runnerBusWrite : tw::calculatorBusWrite,
    };
    tw_cpu_reset(&m->cpu);
}
