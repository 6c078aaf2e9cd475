/* Model descriptors: how the emulator tells which calculator image runs. */
#pragma once

#include <stdint.h>

struct model_descriptor {
    uint16_t flags;
    uint16_t signature[4]; /* 78, 624, 568, 750 */
    uint16_t kind;         /* 335 HP-12C, 271 HP-15C, 255 HP-16C */
};

/* The descriptor of the image that runs after a start. */
const struct model_descriptor* model_running(void);

/* The variant of the running image (the descriptor word at 0x20000010): 120, 150, 152 or 160. */
int model_variant(void);
/* Makes another image of a multi-model build the running one by rewriting the
 * descriptor word; 0 when the build has no such image. */
int model_select(int variant);
