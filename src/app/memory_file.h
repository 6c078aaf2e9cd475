// The bytes of a file as a document for the save panel: memory images, program
// notes, PDF documentation and text.
#pragma once

#include <cstdint>
#include <vector>

namespace tw {

struct MemoryFile {
    std::vector<uint8_t> data;
    bool operator==(const MemoryFile&) const = default;
};

} // namespace tw
