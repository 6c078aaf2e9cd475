/* The model descriptors of each build and the family's fixed words. */
#include "models.h"

#include "hw.h"

#define SIGNATURE {78, 624, 568, 750}
#define KIND_12C 335
#define KIND_15C 271
#define KIND_16C 255

/* An HP-15C image in its 15.2 double-memory mode: two words far behind the
 * descriptor are both 64. */
struct descriptor_152 {
    struct model_descriptor head;
    uint8_t gap1[1708 - sizeof(struct model_descriptor)];
    uint16_t word1708;
    uint8_t gap2[6098 - 1710];
    uint16_t word6098;
};

#define DESCRIPTORS __attribute__((section(".fixed.descriptors"), used))

#if FW_FAMILY == 16
/* The program runner takes this address for granted. */
static const struct model_descriptor model_16c __attribute__((section(".fixed.d824"), used)) = {0, SIGNATURE, KIND_16C};
/* Non-zero in a build with extended memory. */
const uint32_t extended_memory_word __attribute__((section(".fixed.12000"), used)) = FW_EXTENDED;

const struct model_descriptor* model_running(void) { return &model_16c; }
int model_variant(void) { return 160; }
int model_select(int variant) { return variant == 160; }

#elif FW_FAMILY == 99
static const struct model_descriptor model_12c DESCRIPTORS = {0, SIGNATURE, KIND_12C};
static const struct model_descriptor model_15c DESCRIPTORS = {0, SIGNATURE, KIND_15C};
static const struct descriptor_152 model_15c_152 DESCRIPTORS = {{0, SIGNATURE, KIND_15C}, {0}, 64, {0}, 64};
static const struct model_descriptor model_16c DESCRIPTORS = {0, SIGNATURE, KIND_16C};

const struct model_descriptor* model_running(void) { return &model_12c; }

static const struct model_descriptor* const images[4] = {&model_12c, &model_15c, &model_15c_152.head, &model_16c};
static const int variants[4] = {120, 150, 152, 160};

int model_variant(void) {
    for (int i = 0; i < 4; ++i)
        if (RAM_DESCRIPTOR == (uint32_t)images[i]) return variants[i];
    return 120;
}

int model_select(int variant) {
    for (int i = 0; i < 4; ++i)
        if (variants[i] == variant) {
            RAM_DESCRIPTOR = (uint32_t)images[i];
            return 1;
        }
    return 0;
}

#else
static const struct model_descriptor model_15c DESCRIPTORS = {0, SIGNATURE, KIND_15C};

const struct model_descriptor* model_running(void) { return &model_15c; }
int model_variant(void) { return 150; }
int model_select(int variant) { return variant == 150; }
#endif
