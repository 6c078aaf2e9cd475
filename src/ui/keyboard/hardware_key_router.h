// Which desktop keys are down and which calculator key each one pressed: finds the
// calculator key of a typed key through the model's shortcuts, swallows repeats,
// gives Alt with a key that key's blue (g) function, and turns a lone tap of Shift
// or Alt into a tap of f or g.
#pragma once

#include "runtime/catalog/calculator_model.h"
#include "runtime/catalog/key_shortcut.h"

#include <cstdint>
#include <functional>
#include <map>

namespace tw {

class HardwareKeyRouter {
public:
    enum class Modifier { shift, option };

    HardwareKeyRouter();

    // Supplied by the application model's side.
    std::function<const CalculatorModel&()> model;
    std::function<void(int)> press;
    std::function<void(int shift, int code)> pressShifted;
    std::function<void(int)> release;

    // `key` identifies the physical key (its scan code), so that its release is found
    // whatever the modifiers are by then. `alt` is read from the event itself.
    // True when the event belongs to the calculator (and is swallowed).
    bool keyDown(uint32_t key, const KeyShortcut& shortcut, bool isRepeat, bool alt);
    // A key that went down in the calculator goes up. True when it was held.
    bool keyUp(uint32_t key);
    bool isHeld(uint32_t key) const { return held_.count(key) > 0; }
    // Any key typed while a modifier is down spoils that modifier's lone tap.
    void otherKeyDown();
    void modifierChanged(Modifier modifier, bool down);
    // Releases every calculator key a desktop key holds down.
    void releaseAll();
    // releaseAll, and no modifier counts as pressed any longer: for when the window
    // loses the keyboard and their releases may never arrive.
    void releaseAllAndForgetModifiers();

    const std::map<uint32_t, int>& held() const { return held_; }
    bool lone(Modifier modifier) const;

private:
    std::map<uint32_t, int> held_;
    std::map<Modifier, bool> lone_;
};

} // namespace tw
