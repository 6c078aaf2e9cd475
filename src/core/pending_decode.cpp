// Placeholders until the memory-image decoders land: every call answers -3 (or a neutral value).
// Delete a function here when its real definition is added.
#include "core/tw.h"

extern "C" {

int tw_memory_status(tw_machine*, struct tw_memory_status*) { return TW_ERR_STATE; }
int tw_stack_register(tw_machine*, int, tw_register*) { return TW_ERR_STATE; }
int tw_storage_register(tw_machine*, int, tw_register*) { return TW_ERR_STATE; }
int tw_program_lines(tw_machine*, int, tw_prog_line*, int) { return TW_ERR_STATE; }
int tw_pool_status(tw_machine*, tw_pool*) { return TW_ERR_STATE; }
int tw_imaginary_register(tw_machine*, int, tw_register*) { return TW_ERR_STATE; }
int tw_matrix_element(tw_machine*, int, int, int, tw_register*) { return TW_ERR_STATE; }

} // extern "C"
