// Stands in for the machine record's own last-error writer until the core's machine
// functions are linked; the strong definition beside the machine record replaces it.
#include "core/machine.h"

#include <cstdio>

namespace tw {

__attribute__((weak)) void setLastError(tw_machine* m, const char* text)
{
    if (m != nullptr)
        std::snprintf(m->lastError, sizeof m->lastError, "%s", text != nullptr ? text : "");
}

} // namespace tw
