// The keys the user latched down on the face, and the releases to swallow. Turns
// every press and release that passes through it into the key actions to apply,
// in order. Latched codes always come out in ascending order.
#pragma once

#include <set>
#include <vector>

namespace tw {

class KeyLatch {
public:
    // The application sends a later release this much emulated time after it.
    static constexpr int releaseDelayMs = 200;

    struct Action {
        enum class Kind { press, release, releaseLater };
        Kind kind = Kind::press;
        int code = 0;           // press and release
        std::vector<int> codes; // releaseLater

        static Action press(int code) { return {Kind::press, code, {}}; }
        static Action release(int code) { return {Kind::release, code, {}}; }
        static Action releaseLater(std::vector<int> codes) { return {Kind::releaseLater, 0, std::move(codes)}; }

        bool operator==(const Action&) const = default;
    };
    using Actions = std::vector<Action>;

    // A plain press; pressing a latched key releases every latched key instead.
    Actions press(int code);
    // The latch gesture: latches a key, or releases all when it is latched already.
    Actions toggle(int code);
    // Latches a key that is already down.
    Actions hold(int code);
    // A plain release; releasing an unlatched key also releases the latched ones later.
    Actions release(int code);
    Actions releaseAll();

    const std::set<int>& latched() const { return latched_; }
    const std::set<int>& swallow() const { return swallow_; }
    bool isEmpty() const { return latched_.empty(); }

    bool operator==(const KeyLatch&) const = default;

private:
    std::set<int> latched_;
    std::set<int> swallow_; // keys whose next release is ignored
};

} // namespace tw
