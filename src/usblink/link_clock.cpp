#include "usblink/link_clock.h"

#include <chrono>
#include <thread>

namespace tw {

namespace {

class SystemClock final : public LinkClock {
public:
    double now() override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    void sleep(double seconds) override {
        if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
};

} // namespace

LinkClock& LinkClock::system() {
    static SystemClock clock;
    return clock;
}

} // namespace tw
