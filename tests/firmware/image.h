/* The calculator's 2048-byte memory image at 0x20000018, laid out as the
 * emulator's decoders read it, with the checksum that power-off writes and
 * power-on checks. */
#pragma once

#include <stdint.h>

#define IMAGE_SIZE 2048
#define IMAGE ((volatile uint8_t*)0x20000018u)

/* Header bytes, below the range a power cycle must keep: the checksum (sum of
 * bytes 24 to 2047) and the mark of a formatted memory. */
#define IMAGE_CHECKSUM 16
#define IMAGE_FORMATTED 20
#define IMAGE_FORMAT_MARK 0xA5

/* Stack registers: 56-bit words at these offsets (LAST X depends on the model). */
#define IMAGE_X 32
#define IMAGE_Y 112
#define IMAGE_Z 120
#define IMAGE_T 128
int image_lastx(void);
/* Storage register n (0 to IMAGE_REGISTERS - 1). */
#define IMAGE_REGISTERS 3
int image_register(int n);

/* HP-16C: where the storage registers begin and where program step 1 lies (the
 * extended memory moves both). */
int image_16c_register_base(void);
int image_16c_first_step(void);

/* Stores the checksum (power-off). */
void image_seal(void);
/* 1 when the stored checksum matches the memory. */
int image_sealed(void);
/* 1 when the memory carries the format mark. */
int image_formatted(void);
/* Clears the memory and lays out the running model's empty memory. */
void image_format(void);
