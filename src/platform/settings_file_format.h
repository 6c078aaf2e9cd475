// The settings file format of the program: Qt's INI text in "Tarnwick.conf",
// written so that a write that fails keeps the earlier file.
#pragma once

#include <QSettings>
#include <QString>

#include <optional>

namespace tw {

// Far above what the settings hold, program notes of many firmwares included.
inline constexpr qint64 maximumSettingsFileSize = 256 * 1024 * 1024;

// Registered with QSettings on first use; its files end in ".conf" and hold the
// same text as Qt's native settings files, so either reads the other's.
QSettings::Format checkedSettingsFormat();

// The user's settings file of "Tarnwick": <XDG config folder>/Tarnwick/Tarnwick.conf.
QString settingsFilePath();

// Qt reads the settings file whole as soon as settings are opened: a FIFO there would
// block the start and a huge file fill memory. Such a file (no regular file, or beyond
// maximumSettingsFileSize) is moved aside under a name of its own before anything
// opens it; returns that name, or nothing when the file is absent or fine.
std::optional<QString> setAsideUnusableSettingsFile(const QString& path);

// The system log's line for a settings file moved aside.
QString settingsSetAsideLine(const QString& aside);

} // namespace tw
