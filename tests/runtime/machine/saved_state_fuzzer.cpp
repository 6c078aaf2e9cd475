// The saved-state file comes from disk: any text either reads as a whole state that
// writes back to itself, or as no state.
#include "runtime/machine/saved_state.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto state = tw::SavedState::fromJSON(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!state) return 0;
    if (state->memory.size() != 2048) std::abort();
    if (tw::SavedState::fromJSON(state->toJSON()) != state) std::abort();
    return 0;
}
