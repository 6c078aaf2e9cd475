// What the calculator remembers across runs: its memory, the model variant that
// was running and the identity of the firmware that ran it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

struct SavedState {
    std::vector<uint8_t> memory; // 2048 bytes
    int variant = 0;             // 120, 150, 152, 160
    std::string firmwareID;      // sha256Hex of the firmware file

    bool operator==(const SavedState&) const = default;

    // JSON with the keys "memory" (Base64), "variant" and "firmwareID".
    std::string toJSON() const;
    // No value for text that is not such an object, or whose memory is not 2048
    // bytes: a damaged state must never block a start.
    static std::optional<SavedState> fromJSON(std::string_view text);
};

} // namespace tw
