#include "runtime/keys/key_latch.h"

namespace tw {

KeyLatch::Actions KeyLatch::press(int code) {
    if (latched_.contains(code)) {
        // The key is down already: this press lets go of the latch, and its own
        // release must not reach the calculator a second time.
        swallow_.insert(code);
        return releaseAll();
    }
    return {Action::press(code)};
}

KeyLatch::Actions KeyLatch::toggle(int code) {
    if (latched_.contains(code)) return releaseAll();
    latched_.insert(code);
    return {Action::press(code)};
}

KeyLatch::Actions KeyLatch::hold(int code) {
    latched_.insert(code);
    return {};
}

KeyLatch::Actions KeyLatch::release(int code) {
    if (swallow_.erase(code) > 0) return {};
    if (latched_.contains(code)) return {};
    Actions actions = {Action::release(code)};
    if (!latched_.empty()) {
        actions.push_back(Action::releaseLater({latched_.begin(), latched_.end()}));
        latched_.clear();
    }
    return actions;
}

KeyLatch::Actions KeyLatch::releaseAll() {
    Actions actions;
    for (int code : latched_) actions.push_back(Action::release(code));
    latched_.clear();
    return actions;
}

} // namespace tw
