// The calculator's saved state as small JSON files in "State" under the
// application's data folder: one general file and one for each firmware.
#pragma once

#include "platform/safe_file_writer.h"
#include "runtime/machine/saved_state.h"

#include <QString>

#include <optional>

namespace tw {

class Platform;

class StateStore {
public:
    // A state file larger than this is no saved state (the real ones are under 3 KB).
    static constexpr qint64 maximumFileSize = 64 * 1024;

    explicit StateStore(Platform& platform) : platform_(platform) {}

    QString folder() const;
    // ".../State/calculator.json"
    QString fileURL() const;
    // ".../State/calculator-<first 16 characters of the identity>.json"
    QString fileURL(const QString& firmwareID) const;

    // The state saved for exactly this identity: the per-firmware file first, then
    // the general file. Never fails.
    std::optional<SavedState> load(const QString& firmwareID) const;
    // Writes the general file, then the per-firmware file; a failure is logged and
    // answered (the files not yet written then keep what they held).
    std::optional<WriteFailure> save(const SavedState& state);
    // Removes the general file and the identity's file; failures are ignored.
    void clear(const QString& firmwareID);
    // Keeps the identity's saved files under other names, so that a later save
    // cannot overwrite a memory that could not be restored. Answers the kept paths.
    QStringList setAside(const QString& firmwareID);

private:
    Platform& platform_;
};

} // namespace tw
