// Key presses, releases, legend presses and chords: the latch's bookkeeping and
// the engine commands they turn into.
#include "app/app_model.h"

namespace tw {

namespace {

// The face draws ENTER's lower half (35) as the key itself (25).
int shownCode(int code) { return code == keycode::enterLower ? keycode::enter : code; }

std::set<int> shownCodes(const std::set<int>& codes) {
    std::set<int> shown;
    for (int c : codes) shown.insert(shownCode(c));
    return shown;
}

} // namespace

void AppModel::apply(const KeyLatch::Actions& actions) {
    using Kind = KeyLatch::Action::Kind;
    using Command = CalculatorEngine::Command;
    std::set<int> pressed = pressedKeys_;
    for (const auto& action : actions) {
        switch (action.kind) {
        case Kind::press:
            pressed.insert(shownCode(action.code));
            sendToEngine(Command::Press{action.code});
            break;
        case Kind::release:
            pressed.erase(shownCode(action.code));
            sendToEngine(Command::Release{action.code});
            break;
        case Kind::releaseLater:
            for (int c : action.codes) pressed.erase(shownCode(c));
            sendToEngine(Command::ReleaseLater{action.codes, KeyLatch::releaseDelayMs});
            break;
        }
    }
    if (!actions.empty()) setPressedKeys(std::move(pressed));
    setLatchedKeys(shownCodes(latch_.latched()));
}

void AppModel::press(int code) {
    if (!engine_) return;
    // A latched key is already down: this press lets go of every latched key.
    apply(latch_.press(code));
}

void AppModel::press(int code, KeyPart part) {
    if (!engine_) return;
    const KeySpec* key = model().key(code);
    const std::optional<int> shift = key ? key->shiftCode(part) : std::nullopt;
    if (!shift) {
        press(code);
        return;
    }
    apply(latch_.releaseAll());
    std::set<int> pressed = pressedKeys_;
    pressed.insert(shownCode(code));
    setPressedKeys(std::move(pressed));
    sendToEngine(CalculatorEngine::Command::PressShifted{*shift, code});
}

void AppModel::release(int code) { apply(latch_.release(code)); }

void AppModel::sendChord(KeyChord chord) {
    if (!engine_) return;
    if (chord == KeyChord::memoryReset) {
        // Clearing the memory waits for the user's confirmation.
        setPendingAction(PendingAction::memoryReset());
        return;
    }
    apply(latch_.releaseAll());
    sendToEngine(CalculatorEngine::Command::PlayChord{chord});
}

} // namespace tw
