// A document handed to the save panel, with the kind, type and proposed name it is offered under.
#pragma once

#include "app/export_kind.h"
#include "app/memory_file.h"
#include "app/ut_type.h"

#include <QString>

#include <optional>

namespace tw {

struct ExportHandOff {
    ExportKind kind = ExportKind::memory;
    UTType type = UTType::memory16c;
    std::optional<QString> name; // without extension; none proposes the panel's own
    MemoryFile document;
};

} // namespace tw
