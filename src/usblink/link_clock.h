// Time as the link and the transport see it: a monotonic clock in seconds and a
// sleep. Tests hand in a simulated clock so that seconds-long deadlines run at once.
#pragma once

namespace tw {

class LinkClock {
public:
    virtual ~LinkClock() = default;
    virtual double now() = 0;
    virtual void sleep(double seconds) = 0;

    // The steady clock and a real sleep of the calling thread.
    static LinkClock& system();
};

} // namespace tw
