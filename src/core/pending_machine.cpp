// Placeholders until the machine record and firmware identification land: every call answers -3 (or a neutral value).
// Delete a function here when its real definition is added.
#include "core/tw.h"

extern "C" {

tw_machine* tw_create(void) { return nullptr; }
void tw_destroy(tw_machine*) {}
tw_cpu* tw_machine_cpu(tw_machine*) { return nullptr; }
int tw_load_firmware(tw_machine*, const uint8_t*, size_t) { return TW_ERR_STATE; }
uint32_t tw_family(tw_machine*) { return 0; }
int tw_firmware_models(tw_machine*, uint32_t*, int) { return TW_ERR_STATE; }
uint32_t tw_model_code(tw_machine*) { return 0; }
uint32_t tw_model(tw_machine*) { return 0; }
const char* tw_firmware_description(tw_machine*) { return ""; }
int tw_mode(tw_machine*) { return -1; }
const char* tw_last_error(tw_machine*) { return "no calculator"; }
uint32_t tw_read_word(tw_machine*, uint32_t) { return 0; }
int tw_set_battery(tw_machine*, double) { return TW_ERR_STATE; }
int tw_write_memory(tw_machine*, const uint8_t*) { return TW_ERR_STATE; }
int tw_read_memory(tw_machine*, uint8_t*) { return TW_ERR_STATE; }
uint32_t tw_firmware_halfword(tw_machine*, uint32_t, uint32_t) { return 0xFFFFFFFFu; }
uint32_t tw_extended_memory(tw_machine*) { return 0; }
void tw_test_use_fingerprints(const tw_fingerprints*) {}
void tw_sha256(const uint8_t*, size_t, uint8_t digest[32]) { for (int i = 0; i < 32; ++i) digest[i] = 0; }
void tw_sha256_hex(const uint8_t*, size_t, char hex[65]) { hex[0] = 0; }

} // extern "C"
