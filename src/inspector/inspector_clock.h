// Milliseconds on a monotonic clock, injectable so that tests can step the
// change flash through its phases.
#pragma once

#include <QtGlobal>

#include <functional>

namespace tw {

using InspectorClock = std::function<qint64()>;

// The process's monotonic clock.
InspectorClock steadyInspectorClock();

} // namespace tw
