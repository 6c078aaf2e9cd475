// A clock that moves only when the code under test sleeps or waits.
#pragma once

#include "usblink/link_clock.h"

namespace tw {

struct FakeClock final : LinkClock {
    double t = 1000.0;
    double now() override { return t; }
    void sleep(double seconds) override {
        if (seconds > 0) t += seconds;
    }
};

} // namespace tw
