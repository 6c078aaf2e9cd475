// Placeholders until the Thumb-2 interpreter land: every call answers -3 (or a neutral value).
// Delete a function here when its real definition is added.
#include "core/tw.h"

extern "C" {

int tw_cpu_run(tw_cpu*, uint64_t, uint32_t) { return TW_RUN_FAULT; }
int tw_cpu_condition(const tw_cpu*, uint32_t) { return 0; }
uint32_t tw_shift_c(uint32_t value, uint32_t, uint32_t, uint32_t carryIn, uint32_t* carryOut) { if (carryOut) *carryOut = carryIn; return value; }
void tw_cpu_msr(tw_cpu*, uint32_t, uint32_t, uint32_t) {}
uint32_t tw_cpu_mrs(const tw_cpu*, uint32_t) { return 0; }

} // extern "C"
