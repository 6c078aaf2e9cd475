// Settings as the INI text that Qt's own settings files hold: the same sections,
// key escapes and value encodings, so files read and write both ways.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSettings>

namespace tw {

// The INI text of the settings: "[General]" for keys without a group, then one
// section for each first group.
QByteArray encodeIniSettings(const QSettings::SettingsMap& settings);

// Reads the keys and values of INI text into `settings`; false when a line could
// not be understood (the readable keys are still read).
bool decodeIniSettings(QByteArrayView text, QSettings::SettingsMap& settings);

} // namespace tw
