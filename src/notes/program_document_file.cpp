// The program notes file: one JSON object, written pretty-printed with sorted
// keys, read strictly (every key present with its type).
#include <nlohmann/json.hpp>

#include "notes/program_document.h"

namespace tw {

namespace {

using Json = nlohmann::json;

// The shape of the file did not match; turned into CorruptFile by decode().
struct WrongShape {};

const Json& member(const Json& object, const char* key) {
    if (!object.is_object()) throw WrongShape{};
    const auto found = object.find(key);
    if (found == object.end()) throw WrongShape{};
    return *found;
}

std::string stringMember(const Json& object, const char* key) {
    const Json& value = member(object, key);
    if (!value.is_string()) throw WrongShape{};
    return value.get<std::string>();
}

// Integers only: booleans and numbers with a fraction or exponent are refused,
// and so are values beyond 64-bit signed.
std::int64_t integerMember(const Json& object, const char* key) {
    const Json& value = member(object, key);
    if (value.is_number_unsigned()) {
        if (value.get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX)) throw WrongShape{};
        return static_cast<std::int64_t>(value.get<std::uint64_t>());
    }
    if (!value.is_number_integer()) throw WrongShape{};
    return value.get<std::int64_t>();
}

bool booleanMember(const Json& object, const char* key) {
    const Json& value = member(object, key);
    if (!value.is_boolean()) throw WrongShape{};
    return value.get<bool>();
}

std::vector<std::string> stringsMember(const Json& object, const char* key) {
    const Json& value = member(object, key);
    if (!value.is_array()) throw WrongShape{};
    std::vector<std::string> list;
    for (const Json& entry : value) {
        if (!entry.is_string()) throw WrongShape{};
        list.push_back(entry.get<std::string>());
    }
    return list;
}

const Json& objectMember(const Json& object, const char* key) {
    const Json& value = member(object, key);
    if (!value.is_object()) throw WrongShape{};
    return value;
}

std::map<std::string, std::string> noteMap(const Json& object, const char* key) {
    std::map<std::string, std::string> map;
    for (const auto& [name, note] : objectMember(object, key).items()) {
        if (!note.is_string()) throw WrongShape{};
        map.emplace(name, note.get<std::string>());
    }
    return map;
}

ProgramDocument fromJson(const Json& root) {
    ProgramDocument doc;
    doc.format = stringMember(root, "format");
    doc.version = integerMember(root, "version");
    doc.title = stringMember(root, "title");
    doc.author = stringMember(root, "author");
    doc.description = stringMember(root, "description");
    doc.model = stringMember(root, "model");
    doc.labels = noteMap(root, "labels");
    doc.flags = noteMap(root, "flags");
    for (const auto& [name, note] : objectMember(root, "registers").items()) {
        doc.registers.emplace(name, RegisterNote{stringMember(note, "name"), stringMember(note, "meaning")});
    }
    const Json& comments = member(root, "comments");
    if (!comments.is_array()) throw WrongShape{};
    for (const Json& entry : comments) {
        StepComment c;
        c.step = integerMember(entry, "step");
        c.text = stringMember(entry, "text");
        c.keys = stringMember(entry, "keys");
        c.before = stringsMember(entry, "before");
        c.after = stringsMember(entry, "after");
        c.orphaned = booleanMember(entry, "orphaned");
        doc.comments.push_back(std::move(c));
    }
    return doc;
}

} // namespace

std::vector<std::uint8_t> ProgramDocument::encoded() const {
    // nlohmann's objects are ordered maps, so every object's members come out
    // sorted by key; integers are written without the C library's locale.
    Json root = Json::object();
    root["format"] = format;
    root["version"] = version;
    root["title"] = title;
    root["author"] = author;
    root["description"] = description;
    root["model"] = model;
    root["labels"] = Json::object();
    for (const auto& [name, note] : labels) root["labels"][name] = note;
    root["flags"] = Json::object();
    for (const auto& [name, note] : flags) root["flags"][name] = note;
    root["registers"] = Json::object();
    for (const auto& [name, note] : registers) {
        root["registers"][name] = Json{{"name", note.name}, {"meaning", note.meaning}};
    }
    root["comments"] = Json::array();
    for (const StepComment& c : comments) {
        root["comments"].push_back(Json{{"step", c.step},
                                        {"text", c.text},
                                        {"keys", c.keys},
                                        {"before", c.before},
                                        {"after", c.after},
                                        {"orphaned", c.orphaned}});
    }
    const std::string text = root.dump(2, ' ', false, Json::error_handler_t::replace);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

ProgramDocument::Decoded ProgramDocument::decode(std::span<const std::uint8_t> data) {
    const Json root = Json::parse(data.begin(), data.end(), nullptr, false);
    if (root.is_discarded() || !root.is_object()) return CorruptFile{};
    try {
        ProgramDocument doc = fromJson(root);
        if (doc.format != formatName) return CorruptFile{};
        return doc;
    } catch (const WrongShape&) {
        return CorruptFile{};
    }
}

} // namespace tw
