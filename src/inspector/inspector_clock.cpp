#include "inspector/inspector_clock.h"

#include <QElapsedTimer>

namespace tw {

InspectorClock steadyInspectorClock() {
    return [] {
        static const QElapsedTimer timer = [] {
            QElapsedTimer t;
            t.start();
            return t;
        }();
        return timer.elapsed();
    };
}

} // namespace tw
