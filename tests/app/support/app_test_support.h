// Shared helpers of the application-model tests: one QCoreApplication for the
// whole test program, waiting on the event loop, and AppModel on our test firmware.
#pragma once

#include "app/app_model.h"
#include "platform/memory_platform.h"
#include "support/hang_limit.h"
#include "support/test_firmware.h"

#include <QString>

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>

// Test failures print texts as text.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace tw::test {

// Runs the main thread's events until `done` holds; false after `timeout`.
bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = kHangLimit);
// Runs the main thread's events for a while.
void pump(std::chrono::milliseconds duration);

// The image written as a file under the platform's root; its path.
QString writeFirmwareFile(const MemoryPlatform& platform, Firmware which, const QString& name);
// The identity of an image.
QString firmwareID(Firmware which);

// Starts the model on an image and waits until it runs; false when it did not.
bool startOn(AppModel& model, Firmware which, std::optional<SavedState> state = std::nullopt,
             const QString& name = QStringLiteral("test.bin"));

// A tap of a key through the model, as a click gives it, then time for the firmware to see it.
void tap(AppModel& model, int code);
void tapKeys(AppModel& model, std::initializer_list<int> codes);

// The display text without blanks around it.
QString shownText(const AppModel& model);

// An inspection taken now on the engine thread; nothing without an engine.
std::optional<InspectorSnapshot> freshInspection(AppModel& model);

} // namespace tw::test
