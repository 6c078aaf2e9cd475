// Keys pressed and released by key code; the firmware sees them through the key matrix.
#include "core/machine.h"

namespace {

constexpr int kOnKey = 30;

int setKey(tw_machine* m, int code, uint8_t down) {
    // Negative codes are refused as well as codes of 40 and above.
    if (!m || code < 0 || code >= TW_KEY_COUNT) return TW_ERR_ARGUMENT;
    if (m->mode != TW_MODE_CALCULATOR) return TW_ERR_STATE;
    if (code == kOnKey)
        m->onKey = down;
    else
        m->keys[code] = down;
    return TW_OK;
}

} // namespace

extern "C" {

int tw_key_down(tw_machine* m, int code) { return setKey(m, code, 1); }
int tw_key_up(tw_machine* m, int code) { return setKey(m, code, 0); }

uint32_t tw_any_key_down(tw_machine* m) {
    if (!m) return 0;
    if (m->onKey) return 1;
    for (uint8_t key : m->keys)
        if (key) return 1;
    return 0;
}

} // extern "C"
