// Where the program's settings file is, and what is too much to read there. The
// file holds Qt's INI text (platform/ini_settings_text.h), which SettingsFile reads
// and writes.
#pragma once

#include <QString>

#include <optional>

namespace tw {

// Far above what the settings hold, program notes of many firmwares included.
inline constexpr qint64 maximumSettingsFileSize = 256 * 1024 * 1024;

// The user's settings file of "Tarnwick": <XDG config folder>/Tarnwick/Tarnwick.conf.
QString settingsFilePath();

// The settings file is read whole when the settings are opened: a FIFO there would
// block the start and a huge file fill memory. Such a file (no regular file, or beyond
// maximumSettingsFileSize) is moved aside under a name of its own before anything
// opens it; returns that name, or nothing when the file is absent or fine.
std::optional<QString> setAsideUnusableSettingsFile(const QString& path);

// The system log's line for a settings file moved aside.
QString settingsSetAsideLine(const QString& aside);

} // namespace tw
