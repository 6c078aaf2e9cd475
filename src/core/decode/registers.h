// The memory summary, the stack and special registers and the storage registers of
// the three models.
#pragma once

#include "core/decode/context.h"

namespace tw::decode {

enum { kStackIndexCount = 11 };

Result memoryStatus(const Context& c, const Activity& activity, struct tw_memory_status& out);
// Index 0 X, 1 Y, 2 Z, 3 T, 4 LAST X, 5 I, 6 n, 7 i, 8 PV, 9 PMT, 10 FV.
Result stackRegister(const Context& c, int index, tw_register& out);
Result storageRegister(const Context& c, int number, tw_register& out);

const char* stackRegisterName(int index);
// "R5", "R.3", and on the HP-16C "RA", "R.F", "R32".
void storageRegisterName(uint32_t model, int number, char (&name)[12]);

// The image offset of a stack register's word, -1 when the model lacks it.
int stackRegisterOffset(uint32_t model, int index);

} // namespace tw::decode
