// A document handed to the save panel, with the kind, type and proposed name it is offered under.
#pragma once

#include "app/export_kind.h"
#include "app/memory_file.h"
#include "app/pending_action.h"
#include "app/ut_type.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace tw {

// What "Save Backup First…" carries out once its backup is saved, and which of the
// emulator's memories the backup holds (AppModel counts every replacement of it).
struct AfterSave {
    PendingAction action;
    uint64_t memory = 0;
    bool operator==(const AfterSave&) const = default;
};

struct ExportHandOff {
    ExportKind kind = ExportKind::memory;
    UTType type = UTType::memory16c;
    std::optional<QString> name; // without extension; none proposes the panel's own
    MemoryFile document;
    // Carried out when this very document is saved; dropped when its panel is cancelled.
    std::optional<AfterSave> afterSave = std::nullopt;
};

} // namespace tw
