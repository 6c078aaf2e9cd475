// The settings file format of the program: Qt's INI text in "Tarnwick.conf",
// written so that a write that fails keeps the earlier file.
#pragma once

#include <QSettings>

namespace tw {

// Registered with QSettings on first use; its files end in ".conf" and hold the
// same text as Qt's native settings files, so either reads the other's.
QSettings::Format checkedSettingsFormat();

} // namespace tw
