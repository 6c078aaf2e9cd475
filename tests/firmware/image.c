/* The memory image: per-model offsets, the checksum and the empty memory of each model. */
#include "image.h"

#include "models.h"

static int model(void) { return model_variant() / 10; }

int image_lastx(void) {
    switch (model()) {
    case 12: return 1856;
    case 16: return 136;
    default: return 264;
    }
}

#if FW_FAMILY == 16 && FW_EXTENDED
int image_16c_register_base(void) { return 360; }
int image_16c_first_step(void) { return 1760; }
#else
int image_16c_register_base(void) { return 1776; }
int image_16c_first_step(void) { return 2000; }
#endif

int image_register(int n) {
    switch (model()) {
    case 12: return n == 0 ? 1824 : 1776 + 8 * (n - 1);
    case 16: return image_16c_register_base() + 8 * n; /* float mode: one 8-byte unit per register */
    default: return n == 0 ? 240 : n == 1 ? 248 : 8 * (IMAGE[286] + n) - 32;
    }
}

static uint32_t checksum(void) {
    uint32_t sum = 0;
    for (int i = 24; i < IMAGE_SIZE; ++i) sum += IMAGE[i];
    return sum;
}

void image_seal(void) {
    uint32_t sum = checksum();
    for (int i = 0; i < 4; ++i) IMAGE[IMAGE_CHECKSUM + i] = (uint8_t)(sum >> (8 * i));
}

int image_sealed(void) {
    uint32_t stored = 0;
    for (int i = 0; i < 4; ++i) stored |= (uint32_t)IMAGE[IMAGE_CHECKSUM + i] << (8 * i);
    return stored == checksum();
}

int image_formatted(void) { return IMAGE[IMAGE_FORMATTED] == IMAGE_FORMAT_MARK; }

void image_format(void) {
    for (int i = IMAGE_FORMATTED; i < IMAGE_SIZE; ++i) IMAGE[i] = 0; /* the first bytes are not ours */
    IMAGE[IMAGE_FORMATTED] = IMAGE_FORMAT_MARK;
    switch (model_variant()) {
    case 120:
        IMAGE[2017] = 13; /* eight program lines, twenty registers */
        break;
    case 150:
    case 152:
        /* R2 at pool register 237 (141 with the doubled 15.2 memory), no matrix, no program. */
        IMAGE[286] = model_variant() == 152 ? 141 : 237;
        for (int i = 281; i <= 285; ++i) IMAGE[i] = 255;
        break;
    case 160:
        IMAGE[166] = 0xC0; /* float mode */
        IMAGE[165] = 0xB0; /* word size 16 */
        IMAGE[2016] = 252; /* program end: no lines */
        IMAGE[2024] = 252;
        break;
    }
    image_seal();
}
