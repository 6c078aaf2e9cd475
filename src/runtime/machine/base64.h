// Base64 (RFC 4648, standard alphabet, padded) for the memory in saved states.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

std::string base64Encode(std::span<const uint8_t> bytes);
// No value for text that is not padded standard Base64.
std::optional<std::vector<uint8_t>> base64Decode(std::string_view text);

} // namespace tw
