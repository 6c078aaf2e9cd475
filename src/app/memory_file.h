// The bytes of a file as a document for the save panel: memory images, program
// notes, PDF documentation and text.
#pragma once

#include "platform/file_checks.h"
#include "app/ut_type.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace tw {

struct MemoryFile {
    std::vector<uint8_t> data;
    bool operator==(const MemoryFile&) const = default;

    // What may be opened as a document: any file.
    static constexpr std::array<UTType, 4> readableContentTypes() {
        return {UTType::memory16c, UTType::memory15c, UTType::memory12c, UTType::data};
    }
    // What the save panel writes through this document.
    static constexpr std::array<UTType, 6> writableContentTypes() {
        return {UTType::memory16c, UTType::memory15c, UTType::memory12c,
                UTType::programdoc, UTType::pdf,       UTType::plainText};
    }

    // The contents of a regular file, of any type and size. A folder, FIFO or
    // device has no contents to give and is refused without being read.
    static std::variant<MemoryFile, FileReadError> read(const QString& path);

    // Replaces the file at `path` with the bytes, atomically; the error's text on
    // failure (an existing file is then left as it was).
    std::optional<QString> write(const QString& path) const;
};

} // namespace tw
