// Unicorn as an independent Cortex-M: the same flash and RAM map as BareCpu,
// register state copied to and from a tw_cpu block. Test-only.
#pragma once

#include "core/tw.h"

#include <unicorn/unicorn.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tw::test {

class Oracle {
public:
    // A real Cortex-M3 unless told otherwise (the DSP instructions need an M4).
    explicit Oracle(int model = UC_CPU_ARM_CORTEX_M3);
    ~Oracle();
    Oracle(const Oracle&) = delete;
    Oracle& operator=(const Oracle&) = delete;

    bool ok() const { return uc_ != nullptr; }
    uc_engine* engine() { return uc_; }

    void write(uint32_t address, const void* bytes, size_t size);
    void read(uint32_t address, void* bytes, size_t size);
    // Registers, flags, masks and both stack pointers (control must be 0 or 2).
    void setState(const tw_cpu& cpu);
    // The same fields into `out` (other fields untouched).
    void getState(tw_cpu& out);

    // One count-limited step: an IT block runs whole, as in our interpreter.
    uc_err step();
    // Runs from PC until `stopPc`; with `executed`, counts the executed
    // instructions (instructions skipped by an IT block do not count).
    uc_err runUntil(uint32_t stopPc, uint64_t* executed);

private:
    uc_engine* uc_ = nullptr;
};

// The first difference between two CPU states (registers, flags, masks, stack
// pointers), or an empty text.
std::string compareState(const tw_cpu& ours, const tw_cpu& theirs);

} // namespace tw::test
