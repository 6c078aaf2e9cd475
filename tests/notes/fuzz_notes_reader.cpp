// Any bytes end in a document or the corrupt-file error; a document that was
// read encodes and reads back equal.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "notes/program_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto decoded = tw::ProgramDocument::decode(std::span<const std::uint8_t>(data, size));
    if (const auto* doc = std::get_if<tw::ProgramDocument>(&decoded)) {
        const auto bytes = doc->encoded();
        const auto again = tw::ProgramDocument::decode(bytes);
        const auto* back = std::get_if<tw::ProgramDocument>(&again);
        if (!back || *back != *doc) std::abort();
        tw::ProgramDocument copy = *doc;
        (void)copy.rematch({});
        (void)copy.isEmpty();
    }
    return 0;
}
