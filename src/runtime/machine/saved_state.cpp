#include "runtime/machine/saved_state.h"

#include "runtime/machine/base64.h"

#include <nlohmann/json.hpp>

namespace tw {

std::string SavedState::toJSON() const {
    nlohmann::json j;
    j["memory"] = base64Encode(memory);
    j["variant"] = variant;
    j["firmwareID"] = firmwareID;
    return j.dump();
}

std::optional<SavedState> SavedState::fromJSON(std::string_view text) {
    nlohmann::json j = nlohmann::json::parse(text, nullptr, false);
    if (j.is_discarded() || !j.is_object()) return std::nullopt;
    auto memory = j.find("memory");
    auto variant = j.find("variant");
    auto firmware = j.find("firmwareID");
    if (memory == j.end() || variant == j.end() || firmware == j.end()) return std::nullopt;
    if (!memory->is_string() || !variant->is_number_integer() || !firmware->is_string()) return std::nullopt;
    const auto v = variant->get<int64_t>();
    if (v < 0 || v > 100000) return std::nullopt;
    auto bytes = base64Decode(memory->get_ref<const std::string&>());
    if (!bytes || bytes->size() != 2048) return std::nullopt;
    SavedState state;
    state.memory = std::move(*bytes);
    state.variant = int(v);
    state.firmwareID = firmware->get<std::string>();
    return state;
}

} // namespace tw
