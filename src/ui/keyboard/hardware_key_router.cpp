#include "ui/keyboard/hardware_key_router.h"

namespace tw {

namespace {

const KeySpec* firstKeyOfStyle(const CalculatorModel& model, KeyStyle style) {
    for (const KeySpec& key : model.keys)
        if (key.style == style) return &key;
    return nullptr;
}

} // namespace

HardwareKeyRouter::HardwareKeyRouter()
    : model([]() -> const CalculatorModel& { return CalculatorModel::hp16c(); }), press([](int) {}),
      pressShifted([](int, int) {}), release([](int) {}) {}

void HardwareKeyRouter::otherKeyDown() {
    lone_[Modifier::shift] = false;
    lone_[Modifier::option] = false;
}

bool HardwareKeyRouter::keyDown(uint32_t key, const KeyShortcut& shortcut, bool isRepeat, bool alt) {
    otherKeyDown();
    const CalculatorModel& current = model();
    const KeySpec* keySpec = current.key(shortcut);
    if (!keySpec) return false;
    // f and g are reached by a lone Shift or Alt, never by a key of their own.
    if (keySpec->style == KeyStyle::fShift || keySpec->style == KeyStyle::gShift) return false;
    if (isRepeat) return true;
    if (held_.count(key)) return true;
    held_[key] = keySpec->code;
    const KeySpec* gKey = firstKeyOfStyle(current, KeyStyle::gShift);
    if (alt && keySpec->hasG() && gKey) pressShifted(gKey->code, keySpec->code);
    else press(keySpec->code);
    return true;
}

bool HardwareKeyRouter::keyUp(uint32_t key) {
    const auto it = held_.find(key);
    if (it == held_.end()) return false;
    const int code = it->second;
    held_.erase(it);
    release(code);
    return true;
}

void HardwareKeyRouter::modifierChanged(Modifier modifier, bool down) {
    if (down) {
        // Pressed while a calculator key is held, it modifies that key's release, not a tap.
        lone_[modifier] = held_.empty();
        return;
    }
    const auto it = lone_.find(modifier);
    if (it == lone_.end() || !it->second) return;
    it->second = false;
    const KeySpec* shiftKey =
        firstKeyOfStyle(model(), modifier == Modifier::shift ? KeyStyle::fShift : KeyStyle::gShift);
    if (!shiftKey) return;
    press(shiftKey->code);
    release(shiftKey->code);
}

void HardwareKeyRouter::releaseAll() {
    // Emptied first: a release may lead back here.
    const std::map<uint32_t, int> held = std::move(held_);
    held_.clear();
    for (const auto& [key, code] : held) release(code);
}

void HardwareKeyRouter::releaseAllAndForgetModifiers() {
    releaseAll();
    lone_.clear();
}

bool HardwareKeyRouter::lone(Modifier modifier) const {
    const auto it = lone_.find(modifier);
    return it != lone_.end() && it->second;
}

} // namespace tw
