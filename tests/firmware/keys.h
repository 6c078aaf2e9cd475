/* The key matrix, scanned from the periodic interrupt. Key codes 0..39 are
 * row * 10 + column; 30 is ON. */
#pragma once

#include <stdint.h>

enum { KEY_ON = 30, KEY_F = 31, KEY_G = 32, KEY_COUNT = 40, KEY_NONE = -1 };

void keys_init(void);
/* One scan of the whole matrix (called every 10 ms). */
void keys_scan(void);
/* The next key that went down, or KEY_NONE. */
int keys_next(void);
/* Marks a key as down until a scan sees it up (the program runner calls keys directly). */
void keys_mark_down(int code);
int keys_released(int code);
/* 1 while a counted key is still held (the ON-key chords). */
int keys_held(int code);
