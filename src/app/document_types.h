// The application's document types as the desktop knows them: MIME types declared
// in data/mime/tarnwick.xml (ours) or by shared-mime-info (the system's).
#pragma once

#include "app/ut_type.h"

#include <QString>

#include <string_view>

namespace tw {

struct DocumentTypeInfo {
    std::string_view mimeType;
    std::string_view subclassOf; // empty for the system's types
    std::string_view extension;  // what the save panel appends; empty for plain data

    QString mimeTypeName() const { return QString::fromLatin1(mimeType.data(), qsizetype(mimeType.size())); }
    QString fileExtension() const { return QString::fromLatin1(extension.data(), qsizetype(extension.size())); }
};

constexpr DocumentTypeInfo documentType(UTType type) {
    switch (type) {
    case UTType::memory16c: return {"application/vnd.tarnwick.memory16c", "application/octet-stream", "16c"};
    case UTType::memory15c: return {"application/vnd.tarnwick.memory15c", "application/octet-stream", "15c"};
    case UTType::memory12c: return {"application/vnd.tarnwick.memory12c", "application/octet-stream", "12c"};
    case UTType::programdoc: return {"application/vnd.tarnwick.programdoc", "application/json", "orvanedoc"};
    case UTType::pdf: return {"application/pdf", "", "pdf"};
    case UTType::plainText: return {"text/plain", "", "txt"};
    case UTType::json: return {"application/json", "", "json"};
    case UTType::data: break;
    }
    return {"application/octet-stream", "", ""};
}

// The memory file type of a calculator model: 15 and 12 have their own, any other
// identity is the HP-16C's.
constexpr UTType memoryType(int modelId) {
    return modelId == 15 ? UTType::memory15c : modelId == 12 ? UTType::memory12c : UTType::memory16c;
}

} // namespace tw
