// Placeholders until start, ticks, keys and the LCD land: every call answers -3 (or a neutral value).
// Delete a function here when its real definition is added.
#include "core/tw.h"

extern "C" {

int tw_start(tw_machine*, int, int) { return TW_ERR_STATE; }
int tw_run(tw_machine*, uint32_t) { return TW_ERR_STATE; }
int tw_status_text(tw_machine*, char*, size_t) { return TW_ERR_STATE; }
int tw_last_firmware_text(tw_machine*, char*, size_t) { return TW_ERR_STATE; }
uint32_t tw_firmware_text_count(tw_machine*) { return 0; }
void tw_stats(tw_machine*, uint64_t[4]) {}
int tw_runner_key(tw_machine*, int, uint64_t) { return TW_ERR_STATE; }
void tw_reset_mode(tw_machine*, int) {}
int tw_hook_return(void*, uint32_t, void*) { return 0; }
int tw_hook_step_limit(void*, uint32_t, void*) { return 0; }
int tw_hook_capture_text(void*, uint32_t, void*) { return 0; }
int tw_key_down(tw_machine*, int) { return TW_ERR_STATE; }
int tw_key_up(tw_machine*, int) { return TW_ERR_STATE; }
const char* tw_key_name(int, int) { return "?"; }
int tw_key_code(int, const char*) { return -1; }
int tw_display_text(tw_machine*, char*, size_t) { return TW_ERR_STATE; }
int tw_runner_display(tw_machine*, uint64_t*, uint64_t*) { return TW_ERR_STATE; }
int tw_lcd(tw_machine*, struct tw_lcd*) { return TW_ERR_STATE; }
int tw_lcd_text(const struct tw_lcd*, char*, size_t) { return TW_ERR_STATE; }
int tw_lcd_ram(tw_machine*, uint32_t[8]) { return TW_ERR_STATE; }
uint32_t tw_lcd_flags(tw_machine*) { return 0; }
uint8_t* tw_memory_ptr(tw_machine*) { return nullptr; }
uint32_t tw_ram_word_10(tw_machine*) { return 0; }
uint32_t tw_busy_ticks(tw_machine*) { return 0; }
uint32_t tw_any_key_down(tw_machine*) { return 0; }

} // extern "C"
