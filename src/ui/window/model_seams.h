// AppModel operations that the window calls by their names where AppModel offers
// them, with the same steps spelled out here where it does not yet; so that the
// window builds against AppModel before and after those operations land.
#pragma once

#include "app/file_result.h"
#include "app/pending_action.h"

#include <QString>

#include <optional>

namespace tw::seams {

// "Save Backup First…": the action waits until the emulator's memory is saved.
template <class Model>
void saveBackupFirst(Model& app, const PendingAction& action) {
    if constexpr (requires { app.saveBackupFirst(action); }) {
        app.saveBackupFirst(action);
    } else {
        app.setPendingAction(std::nullopt);
        if constexpr (requires { app.setAfterExport(std::optional<PendingAction>(action)); })
            app.setAfterExport(std::optional<PendingAction>(action));
        app.saveMemoryToFile();
    }
}

// A file handed to the application from outside: the memory-file road.
template <class Model>
void openFile(Model& app, const QString& path) {
    if constexpr (requires { app.openFile(path); }) {
        app.openFile(path);
    } else {
        app.loadMemory(FileResult::file(path));
    }
}

// The reset of the menus: a fresh start of the remembered firmware without its saved state.
template <class Model>
void resetCalculator(Model& app) {
    if constexpr (requires { app.resetCalculator(); }) {
        app.resetCalculator();
    } else {
        const QString firmwareID = app.firmwareID();
        app.stop();
        app.stateStore().clear(firmwareID);
        auto firmware = app.firmwareStore().load();
        if (!firmware) return; // the welcome view offers the choice again
        app.start(firmware->first, std::move(firmware->second), std::nullopt);
    }
}

} // namespace tw::seams
