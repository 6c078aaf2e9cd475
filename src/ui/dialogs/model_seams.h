// AppModel operations the window needs whose names are still settling: each is
// used when AppModel has it and otherwise left out, so that the window builds
// against either.
#pragma once

#include "app/pending_action.h"

#include <optional>

namespace tw {

// Keeps the confirmed action until the backup chosen with "Save Backup First…" is saved.
// False when AppModel offers no way to keep it.
template <class Model>
bool keepAfterExport(Model& app, const PendingAction& action) {
    if constexpr (requires { app.setAfterExport(std::optional<PendingAction>(action)); }) {
        app.setAfterExport(std::optional<PendingAction>(action));
        return true;
    } else {
        return false;
    }
}

} // namespace tw
