// The document handed to the save panel: the bytes to write, whatever they are (a
// memory image, a notes file, a PDF, a text listing), and the application's
// document types as the desktop knows them (shared-mime-info, data/mime).
#pragma once

#include "app/file_checks.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <string_view>
#include <variant>

namespace tw {

// A content type: its MIME type name, the type it is a kind of, and the file-name
// extension that the save panel adds (empty for the system's generic types).
struct DocumentType {
    std::string_view mimeType;
    std::string_view subclassOf;
    std::string_view extension;

    constexpr bool operator==(const DocumentType& other) const { return mimeType == other.mimeType; }

    // Ours, declared in data/mime/tarnwick.xml.
    static constexpr DocumentType memory16c() {
        return {"application/vnd.tarnwick.memory16c", "application/octet-stream", "16c"};
    }
    static constexpr DocumentType memory15c() {
        return {"application/vnd.tarnwick.memory15c", "application/octet-stream", "15c"};
    }
    static constexpr DocumentType memory12c() {
        return {"application/vnd.tarnwick.memory12c", "application/octet-stream", "12c"};
    }
    static constexpr DocumentType programdoc() {
        return {"application/vnd.tarnwick.programdoc", "application/json", "orvanedoc"};
    }

    // The system's.
    static constexpr DocumentType data() { return {"application/octet-stream", "", ""}; }
    static constexpr DocumentType json() { return {"application/json", "", "json"}; }
    static constexpr DocumentType pdf() { return {"application/pdf", "", "pdf"}; }
    static constexpr DocumentType plainText() { return {"text/plain", "", "txt"}; }

    // The memory type of a calculator model: 15 and 12 have their own, anything
    // else is the HP-16C's.
    static constexpr DocumentType memory(int modelId) {
        return modelId == 15 ? memory15c() : modelId == 12 ? memory12c() : memory16c();
    }

    QString mimeTypeName() const { return QString::fromLatin1(mimeType.data(), qsizetype(mimeType.size())); }
    QString fileExtension() const { return QString::fromLatin1(extension.data(), qsizetype(extension.size())); }
};

struct MemoryFile {
    QByteArray data;

    bool operator==(const MemoryFile&) const = default;

    // What may be opened as a document: any file.
    static constexpr std::array<DocumentType, 4> readableContentTypes() {
        return {DocumentType::memory16c(), DocumentType::memory15c(), DocumentType::memory12c(),
                DocumentType::data()};
    }
    // What the save panel writes through this document.
    static constexpr std::array<DocumentType, 6> writableContentTypes() {
        return {DocumentType::memory16c(), DocumentType::memory15c(), DocumentType::memory12c(),
                DocumentType::programdoc(),  DocumentType::pdf(),       DocumentType::plainText()};
    }

    // The contents of a regular file, of any type and size. A folder, FIFO or
    // device has no contents to give and is refused without being read.
    static std::variant<MemoryFile, FileReadError> read(const QString& path);

    // Replaces the file at `path` with the bytes, atomically; the error's text on
    // failure (the existing file is then left as it was).
    std::optional<QString> write(const QString& path) const;
};

} // namespace tw
