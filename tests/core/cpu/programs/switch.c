/* A small bytecode machine: one dense switch per instruction (jump tables, TBB
 * and TBH at the higher optimisation levels) and a sparse one. */
#include "programs.h"

enum { PUSH, ADD, SUB, MUL, DUP, SWAP, DROP, JNZ, DEC, OVER, AND, OR, XOR, SHL, SHR, NEG, HALT };

static int32_t stack[64];
KEEP volatile int32_t outputs[4];

static int32_t run(const int8_t* code) {
    int sp = 0, pc = 0;
    for (;;) {
        int8_t op = code[pc++];
        switch (op) {
        case PUSH: stack[sp++] = code[pc++]; break;
        case ADD: --sp; stack[sp - 1] += stack[sp]; break;
        case SUB: --sp; stack[sp - 1] -= stack[sp]; break;
        case MUL: --sp; stack[sp - 1] *= stack[sp]; break;
        case DUP: stack[sp] = stack[sp - 1]; ++sp; break;
        case SWAP: { int32_t t = stack[sp - 1]; stack[sp - 1] = stack[sp - 2]; stack[sp - 2] = t; break; }
        case DROP: --sp; break;
        case JNZ: { int8_t to = code[pc++]; if (stack[--sp]) pc = to; break; }
        case DEC: stack[sp - 1] -= 1; break;
        case OVER: stack[sp] = stack[sp - 2]; ++sp; break;
        case AND: --sp; stack[sp - 1] &= stack[sp]; break;
        case OR: --sp; stack[sp - 1] |= stack[sp]; break;
        case XOR: --sp; stack[sp - 1] ^= stack[sp]; break;
        case SHL: --sp; stack[sp - 1] <<= stack[sp]; break;
        case SHR: --sp; stack[sp - 1] = (int32_t)((uint32_t)stack[sp - 1] >> stack[sp]); break;
        case NEG: stack[sp - 1] = -stack[sp - 1]; break;
        case HALT: return stack[sp - 1];
        default: return -1;
        }
    }
}

static int sparse(uint32_t v) {
    switch (v) {
    case 3: return 10;
    case 100: return 11;
    case 1000: return 12;
    case 4096: return 13;
    case 65537: return 14;
    case 0x80000000u: return 15;
    default: return (int)(v & 7);
    }
}

int main(void) {
    /* acc = 1; n = 200; loop: acc = acc * 3 ^ n; n-- until 0 */
    static const int8_t program[] = {
        PUSH, 1, PUSH, 100, PUSH, 2, MUL,           /* acc n */
        SWAP, PUSH, 3, MUL, OVER, XOR, SWAP, DEC,   /* acc' n-1 (pc 7) */
        DUP, JNZ, 7, DROP, HALT,
    };
    int32_t acc = 1;
    for (int n = 200; n; --n) acc = (acc * 3) ^ n;
    int32_t got = 0;
    for (int round = 0; round < 40; ++round) got = run(program);
    if (got != acc) return 1;
    uint32_t seed = 5, total = 0;
    static const uint32_t picks[] = {3, 100, 1000, 4096, 65537, 0x80000000u};
    for (int i = 0; i < 20000; ++i) {
        uint32_t r = next_random(&seed);
        total += (uint32_t)sparse((r & 1) ? picks[(r >> 8) % 6] : r);
    }
    outputs[0] = got;
    outputs[1] = (int32_t)total;
    return 0;
}
