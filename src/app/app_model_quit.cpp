// The save at the end of a run: the calculator's state and the settings, and what
// could not be written, so that the user can make room and try again.
#include "app/app_model.h"

namespace tw {

UnsavedAtQuit AppModel::saveOnQuit() {
    UnsavedAtQuit unsaved;
    unsaved.state = saveStateOnQuit();
    unsaved.settings = platform_.writePendingSettings();
    return unsaved;
}

UnsavedAtQuit AppModel::saveOnQuitAgain() {
    UnsavedAtQuit unsaved;
    // The state taken at quit is written as it was taken: the calculator is off by now.
    if (unsavedQuitState_) {
        unsaved.state = storeState(*unsavedQuitState_);
        if (!unsaved.state) unsavedQuitState_.reset();
    }
    unsaved.settings = platform_.writePendingSettings();
    return unsaved;
}

} // namespace tw
