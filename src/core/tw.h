/*
 * The emulator core's public interface.
 *
 * One opaque machine record per emulated calculator, reached through a handle.
 * Every function takes the handle first (except the key-name functions, which
 * work on a model number) and answers with a status code, a value or a text
 * kept in the record. One caller at a time per record; records are independent.
 *
 * Status codes: 0 success, -1 bad argument, -2 firmware, -3 state, -4 fault of
 * the emulated chip, -5 the program runner's key routine waits for something
 * the runner does not model.
 */
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    TW_OK = 0,
    TW_ERR_ARGUMENT = -1,
    TW_ERR_FIRMWARE = -2,
    TW_ERR_STATE = -3,
    TW_ERR_FAULT = -4,
    TW_ERR_RUNNER = -5
};

typedef struct tw_machine tw_machine;

/* Run modes of tw_start and tw_mode. */
enum { TW_MODE_NONE = -1, TW_MODE_RUNNER = 0, TW_MODE_CALCULATOR = 1 };

/* Families of tw_family. The three single-calculator families are also the model
 * numbers of tw_model and the key-name functions; a multi-model firmware holds several. */
enum { TW_FAMILY_NONE = 0, TW_FAMILY_12C = 12, TW_FAMILY_15C = 15, TW_FAMILY_16C = 16, TW_FAMILY_MULTI = 99 };

/* Keys of the 4 x 10 matrix: code = row * 10 + column. */
enum { TW_KEY_COUNT = 40 };

/* ---------------------------------------------------------------------------
 * CPU block: registers, flags, bus and hooks of one emulated Cortex-M.
 * The first group of every machine record; tests may drive a bare one.
 * ------------------------------------------------------------------------- */

/* Serves a read outside flash and RAM; 0 = served, value zero-extended in *out. */
typedef int (*tw_bus_read_fn)(void* context, uint32_t address, uint32_t width, uint32_t* out);
/* Serves a write outside flash and RAM; 0 = served. */
typedef int (*tw_bus_write_fn)(void* context, uint32_t address, uint32_t width, uint32_t value);
/* Runs before the instruction at a hooked address: 0 go on, 1 stop, 2 the action set the PC. */
typedef int (*tw_hook_fn)(void* busContext, uint32_t pc, void* hookContext);

enum { TW_MAX_HOOKS = 8, TW_FAULT_TEXT_SIZE = 128 };

/* What the CPU reaches: flash and RAM directly, everything else through the callbacks. */
typedef struct tw_cpu_bus {
    uint8_t* flash;
    uint32_t flashSize;
    uint8_t* ram;
    uint32_t ramSize;
    void* context; /* handed to the callbacks and the hooks */
    tw_bus_read_fn read;
    tw_bus_write_fn write;
} tw_cpu_bus;

typedef struct tw_cpu {
    uint32_t regs[16]; /* r0..r12, r13 = SP in use, r14 = LR, r15 = PC */
    uint32_t flagN, flagZ, flagC, flagV, flagQ;
    uint32_t primask;
    uint32_t faultmask;
    uint32_t basepri;
    uint32_t control; /* bit 0 nPRIV, bit 1 SPSEL */
    uint32_t mspBank;
    uint32_t pspBank;
    uint8_t itState;
    uint64_t instructionCount;

    tw_cpu_bus bus; /* kept by tw_cpu_reset */

    /* Hooks and fault: cleared by tw_cpu_reset. */
    int64_t hookCount;
    uint32_t hookAddress[TW_MAX_HOOKS];
    tw_hook_fn hookAction[TW_MAX_HOOKS];
    void* hookContext[TW_MAX_HOOKS];
    uint32_t hookLow, hookHigh;
    char faultText[TW_FAULT_TEXT_SIZE];
    uint32_t faultFlag;
} tw_cpu;

/* Run results of tw_cpu_run. */
enum {
    TW_RUN_BUDGET = 0,
    TW_RUN_STOP_PC = 1,
    TW_RUN_WFI = 2,
    TW_RUN_HOOK = 3,
    TW_RUN_FAULT = 4
};

/* Shift types of tw_shift_c. */
enum { TW_SHIFT_LSL = 0, TW_SHIFT_LSR = 1, TW_SHIFT_ASR = 2, TW_SHIFT_ROR = 3, TW_SHIFT_RRX = 4 };

void tw_cpu_reset(tw_cpu* cpu);
/* TW_OK; TW_ERR_ARGUMENT for a null block; TW_ERR_STATE when all TW_MAX_HOOKS are in use. */
int tw_cpu_add_hook(tw_cpu* cpu, uint32_t address, tw_hook_fn action, void* context);
int tw_bus_read_quiet(tw_cpu* cpu, uint32_t address, uint32_t width, uint32_t* out);
int tw_bus_write_quiet(tw_cpu* cpu, uint32_t address, uint32_t width, uint32_t value);
uint32_t tw_bus_read(tw_cpu* cpu, uint32_t address, uint32_t width);
void tw_bus_write(tw_cpu* cpu, uint32_t address, uint32_t width, uint32_t value);
int tw_cpu_run(tw_cpu* cpu, uint64_t budget, uint32_t stopPc);
int tw_cpu_condition(const tw_cpu* cpu, uint32_t cond);
uint32_t tw_shift_c(uint32_t value, uint32_t type, uint32_t amount, uint32_t carryIn, uint32_t* carryOut);
void tw_cpu_msr(tw_cpu* cpu, uint32_t sysm, uint32_t mask, uint32_t value);
uint32_t tw_cpu_mrs(const tw_cpu* cpu, uint32_t sysm);

/* The CPU block of a machine (null for a null handle). */
tw_cpu* tw_machine_cpu(tw_machine* machine);

/* ---------------------------------------------------------------------------
 * Records filled by the core.
 * ------------------------------------------------------------------------- */

/* The display: ten 7-segment digits (bits 0..6 = segments a..g), points, commas,
 * the sign, five status bits (f, g, C, G, PRGM) and the other annunciator bits. */
/* Named like its function, as struct stat: write "struct tw_lcd". */
struct tw_lcd {
    uint8_t segments[10];
    uint8_t dots[10];
    uint8_t commas[10];
    uint8_t minus;
    uint32_t flags;
    uint64_t annunciators;
};

/* Named like its function: write "struct tw_memory_status". */
struct tw_memory_status {
    uint32_t model;
    uint32_t modelCode;
    uint32_t base;
    uint32_t wordSize;
    uint32_t complement;
    uint32_t flags;
    uint32_t programMode;
    uint32_t running;
    uint32_t line;
    uint32_t lines;
    uint32_t registerCount;
    uint32_t hasI;
    uint32_t hasProgram;
    uint32_t extendedMemory;
    uint32_t reserved[6];
};

enum { TW_REGISTER_INTEGER = 1, TW_REGISTER_DECIMAL = 2 };

typedef struct tw_register {
    uint32_t kind;
    uint64_t raw;
    uint64_t word;
    uint32_t isNegative;
    double number;
    char text[72];
    char decimal[32];
    char name[12];
} tw_register;

typedef struct tw_prog_line {
    int32_t line;
    uint8_t code[2];
    uint8_t len;
    int8_t prefix; /* 'f', 'g' or 0 */
    char keys[16];
    char mnemonic[28];
} tw_prog_line;

typedef struct tw_pool {
    int32_t variant;
    int32_t base;
    int32_t top;
    int32_t data;
    int32_t starts[5];
    int32_t pool;
    int32_t rows[5];
    int32_t cols[5];
    int32_t result;
    int32_t complex;
    int32_t scratch;
    int32_t gap;
    int32_t storage;
    int32_t dimI;
    int32_t matrixRegisters;
    int32_t programLow;
    int32_t programRegisters;
    int32_t programBytes;
    int32_t free;
    char gmem[24];
} tw_pool;

enum { TW_MEMORY_SIZE = 2048 };

/* ---------------------------------------------------------------------------
 * Machine record and firmware.
 * ------------------------------------------------------------------------- */

tw_machine* tw_create(void);
void tw_destroy(tw_machine* machine);

int tw_load_firmware(tw_machine* machine, const uint8_t* bytes, size_t size);
uint32_t tw_family(tw_machine* machine);
int tw_firmware_models(tw_machine* machine, uint32_t* out, int count);
uint32_t tw_model_code(tw_machine* machine);
uint32_t tw_model(tw_machine* machine);
const char* tw_firmware_description(tw_machine* machine);
int tw_mode(tw_machine* machine);
const char* tw_last_error(tw_machine* machine);
uint32_t tw_read_word(tw_machine* machine, uint32_t address);
int tw_set_battery(tw_machine* machine, double volts);
int tw_write_memory(tw_machine* machine, const uint8_t* memory2048);
int tw_read_memory(tw_machine* machine, uint8_t* memory2048);

/* ---------------------------------------------------------------------------
 * Start, ticks and interrupts.
 * ------------------------------------------------------------------------- */

int tw_start(tw_machine* machine, int mode, int pressOn);
int tw_run(tw_machine* machine, uint32_t milliseconds);
int tw_status_text(tw_machine* machine, char* buffer, size_t size);
int tw_last_firmware_text(tw_machine* machine, char* buffer, size_t size);
uint32_t tw_firmware_text_count(tw_machine* machine);
/* out = {instructions, hook passes, 10 x ticks with the periodic handler, idle ticks} */
void tw_stats(tw_machine* machine, uint64_t out[4]);

/* Internal to the run loop; exposed for tests. */
int tw_runner_key(tw_machine* machine, int code, uint64_t passLimit);
void tw_reset_mode(tw_machine* machine, int mode);
int tw_hook_return(void* machine, uint32_t pc, void* context);
int tw_hook_step_limit(void* machine, uint32_t pc, void* context);
int tw_hook_capture_text(void* machine, uint32_t pc, void* context);

/* ---------------------------------------------------------------------------
 * Keys, display and LCD read-out.
 * ------------------------------------------------------------------------- */

int tw_key_down(tw_machine* machine, int code);
int tw_key_up(tw_machine* machine, int code);
const char* tw_key_name(int model, int code);
int tw_key_code(int model, const char* name);
int tw_display_text(tw_machine* machine, char* buffer, size_t size);
int tw_runner_display(tw_machine* machine, uint64_t* outA, uint64_t* outB);
#if defined(__cplusplus) && defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow" /* the function and its record share a name, as stat does */
#endif
int tw_lcd(tw_machine* machine, struct tw_lcd* record);
#if defined(__cplusplus) && defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
int tw_lcd_text(const struct tw_lcd* record, char* buffer, size_t size);
int tw_lcd_ram(tw_machine* machine, uint32_t out[8]);
uint32_t tw_lcd_flags(tw_machine* machine);

/* Accessors for the memory decoders. */
uint8_t* tw_memory_ptr(tw_machine* machine);
uint32_t tw_ram_word_10(tw_machine* machine);
uint32_t tw_firmware_halfword(tw_machine* machine, uint32_t address, uint32_t index);
uint32_t tw_extended_memory(tw_machine* machine);
uint32_t tw_busy_ticks(tw_machine* machine);
uint32_t tw_any_key_down(tw_machine* machine);

/* ---------------------------------------------------------------------------
 * Memory-image decoding.
 * ------------------------------------------------------------------------- */

#if defined(__cplusplus) && defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow" /* the function and its record share a name, as stat does */
#endif
int tw_memory_status(tw_machine* machine, struct tw_memory_status* record);
#if defined(__cplusplus) && defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
int tw_stack_register(tw_machine* machine, int index, tw_register* record);
int tw_storage_register(tw_machine* machine, int number, tw_register* record);
int tw_program_lines(tw_machine* machine, int firstLine, tw_prog_line* out, int count);
int tw_pool_status(tw_machine* machine, tw_pool* record);
int tw_imaginary_register(tw_machine* machine, int index, tw_register* record);
int tw_matrix_element(tw_machine* machine, int matrix, int row, int column, tw_register* record);

/* ---------------------------------------------------------------------------
 * Test-only seam: the fingerprints that identify a firmware.
 *
 * The built-in fingerprints match only the real calculator firmware. Tests hand
 * in the digests of their own images (lower-case hex, 64 digits each); null
 * restores the built-in table. Set it before any machine loads a firmware;
 * production code never calls this. The core keeps the pointer, not a copy: the
 * table must stay alive until null is set again.
 * ------------------------------------------------------------------------- */

typedef struct tw_fingerprints {
    char layout[3][65];
    char anchor[65];
} tw_fingerprints;

void tw_test_use_fingerprints(const tw_fingerprints* table);

/* SHA-256 (FIPS 180-4). hex receives 64 lower-case digits and a terminating zero. */
void tw_sha256(const uint8_t* bytes, size_t size, uint8_t digest[32]);
void tw_sha256_hex(const uint8_t* bytes, size_t size, char hex[65]);

#ifdef __cplusplus
}
#endif
