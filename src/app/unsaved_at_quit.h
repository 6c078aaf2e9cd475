// What the quit-time save could not write, and why: the text the user reads
// before the window goes.
#pragma once

#include "platform/safe_file_writer.h"

#include <QString>

#include <optional>

namespace tw {

struct UnsavedAtQuit {
    std::optional<WriteFailure> state;    // the calculator's state files
    std::optional<WriteFailure> settings; // the settings file, program notes included

    bool any() const { return state || settings; }
    // "Your calculator's state and program notes could not be saved: No space left on device."
    QString message() const;
};

} // namespace tw
