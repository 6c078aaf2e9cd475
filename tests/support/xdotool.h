// xdotool, which types, clicks and asks the window manager for sizes on a real X server
// as the user does, run while the application goes on handling its events.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

#include "support/hang_limit.h"

namespace tw::test {

// Runs xdotool with `arguments`; true when it ran and succeeded. What it printed goes to
// `printed` when given.
inline bool xdotool(const QStringList& arguments, QString* printed = nullptr) {
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    const bool ended = QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, kHangLimitMs);
    if (printed) *printed = QString::fromUtf8(process.readAllStandardOutput());
    return ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Runs xdotool with `arguments` while the application takes in no event, as a busy one
// does; what it printed.
inline QString xdotoolNow(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    process.waitForFinished(kHangLimitMs);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace tw::test
