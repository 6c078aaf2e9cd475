/* Shared declarations of the interpreter's test programs (freestanding). */
#pragma once

#include <stddef.h>
#include <stdint.h>

int main(void);
int reset(void);
void* memcpy(void* to, const void* from, size_t n);
void* memmove(void* to, const void* from, size_t n);
void* memset(void* to, int value, size_t n);
int memcmp(const void* a, const void* b, size_t n);
uint32_t next_random(uint32_t* state);

/* Results stay in RAM, where the differential run compares them. */
#define KEEP __attribute__((used))
