// What the open-file panel is for.
#pragma once

namespace tw {

enum class FileTask { firmware, memory, notes, fonts };

} // namespace tw
