#include "runtime/machine/calculator_machine.h"

#include "core/tw.h"
#include "runtime/catalog/calculator_model.h"

#include <algorithm>
#include <cstdint>

namespace tw {

namespace {

bool isKeyCode(int code) { return code >= 0 && code <= 39; }

} // namespace

std::string sha256Hex(std::span<const uint8_t> bytes) {
    char hex[65];
    tw_sha256_hex(bytes.data(), bytes.size(), hex);
    return std::string(hex, 64);
}

SwitchError::SwitchError(Kind kind, int wanted, int running) : kind_(kind), wanted_(wanted), running_(running) {
    if (kind == Kind::notInFirmware)
        description_ = "This firmware has no " + CalculatorMachine::variantLabel(wanted) + " image.";
    else
        description_ = "The calculator did not switch to the " + CalculatorMachine::variantLabel(wanted) +
                       "; it is running as the " + CalculatorMachine::variantLabel(running) + ".";
}

std::string CalculatorMachine::variantLabel(int variant) {
    switch (variant) {
    case 120: return "12C";
    case 150: return "15C";
    case 152: return "15C (15.2)";
    case 160: return "16C";
    default: return std::to_string(variant);
    }
}

bool CalculatorMachine::isChipFault(std::exception_ptr error) {
    try {
        if (error) std::rethrow_exception(error);
    } catch (const CalculatorError& e) {
        return e.kind() == CalculatorError::Kind::fault;
    } catch (...) {
    }
    return false;
}

void CalculatorMachine::load(std::span<const uint8_t> firmware) {
    calc_.loadFirmware(firmware);
    family_ = calculatorFamily(int(tw_family(calc_.handle()))).value_or(CalculatorFamily::none);
    firmwareID_ = sha256Hex(firmware);
    firmwareData_.assign(firmware.begin(), firmware.end());
    images_ = calc_.availableModels();
}

void CalculatorMachine::coreTap(int code) {
    calc_.check(calc_.keyDown(code));
    calc_.run(120);
    calc_.check(calc_.keyUp(code));
    calc_.run(600);
    simMs_ += 720;
}

std::optional<std::string> CalculatorMachine::start(const std::optional<SavedState>& restoring) {
    calc_.check(tw_start(calc_.handle(), TW_MODE_CALCULATOR, 0));
    simMs_ = 0;
    downSince_.clear();
    pendingRelease_.clear();
    delayedRelease_.clear();
    lastPressMs_.reset();
    lastUpMs_.reset();

    coreTap(keyON);
    run(1500);

    // A saved memory that is not a whole image cannot be restored: start cleared.
    if (!restoring || restoring->memory.size() != TW_MEMORY_SIZE) {
        clearPrError();
        return std::nullopt;
    }
    if (restoring->firmwareID != firmwareID_) {
        clearPrError();
        return "The saved calculator memory belongs to another firmware; starting with a cleared memory.";
    }
    if (restoring->variant != variant()) {
        performSwitch(restoring->variant);
        if (restoring->variant != variant()) {
            clearPrError();
            return "Could not switch the firmware back to the model the memory was saved from.";
        }
    }
    loadMemory(restoring->memory);
    return std::nullopt;
}

void CalculatorMachine::press(int code) {
    if (!isKeyCode(code)) return;
    if (downSince_.contains(code) && !pendingRelease_.contains(code)) return;
    calc_.check(calc_.keyDown(code)); // a refused press changes nothing
    pendingRelease_.erase(code);
    downSince_[code] = simMs_;
    lastPressMs_ = simMs_;
}

void CalculatorMachine::keyUp(int code) {
    calc_.check(calc_.keyUp(code)); // a refused release leaves the key down
    downSince_.erase(code);
    lastUpMs_ = simMs_;
}

void CalculatorMachine::releaseNow(int code) {
    auto it = downSince_.find(code);
    if (it == downSince_.end()) return;
    if (simMs_ - it->second < minimumHoldMs_) {
        pendingRelease_.insert(code);
        return;
    }
    keyUp(code);
}

bool CalculatorMachine::isReadyForPress() const {
    // A key let go of before its minimum hold went down less than a hold ago: the
    // last press's hold below covers it. A key that goes up later was let go of by
    // the user too (the end of a latch).
    for (const auto& [at, code] : delayedRelease_)
        if (downSince_.contains(code)) return false;
    // The firmware counts a key change once its scan has seen it for a few ticks;
    // the minimum hold is long enough for that, down and up alike.
    if (lastUpMs_ && simMs_ - *lastUpMs_ < minimumHoldMs_) return false;
    return !lastPressMs_ || simMs_ - *lastPressMs_ >= minimumHoldMs_;
}

bool CalculatorMachine::areKeysSettled() const {
    return downSince_.empty() && (!lastUpMs_ || simMs_ - *lastUpMs_ >= minimumHoldMs_);
}

void CalculatorMachine::settleKeys() {
    delayedRelease_.clear();
    std::vector<int> down;
    for (const auto& [code, since] : downSince_) down.push_back(code);
    for (int code : down) releaseNow(code);
    // At most a minimum hold down and one up; the bound only guards against a core
    // that refuses to let a key go.
    for (int slices = 0; !areKeysSettled() && slices < 1000; ++slices) run(10);
}

void CalculatorMachine::settleReleasedKeys() {
    // A press may go once they are settled; the bound (a second, the longest an engine
    // press waits too) guards against a later release set beyond any reach.
    for (int slices = 0; !isReadyForPress() && slices < 100; ++slices) run(10);
}

void CalculatorMachine::release(int code) {
    if (!isKeyCode(code)) return;
    releaseNow(code);
}

void CalculatorMachine::releaseAll() {
    // Every key goes up even when one release is refused; the first refusal is reported.
    int status = TW_OK;
    for (const auto& [code, since] : downSince_) {
        const int up = calc_.keyUp(code);
        if (status == TW_OK) status = up;
    }
    if (!downSince_.empty()) lastUpMs_ = simMs_;
    downSince_.clear();
    pendingRelease_.clear();
    delayedRelease_.clear();
    calc_.check(status);
}

void CalculatorMachine::releaseLater(const std::vector<int>& codes, int64_t afterMs) {
    // A delay beyond the end of emulated time means never (and must not overflow).
    const int64_t delay = std::max<int64_t>(afterMs, 0);
    const int64_t at = delay > INT64_MAX - simMs_ ? INT64_MAX : simMs_ + delay;
    for (int code : codes)
        if (isKeyCode(code)) delayedRelease_.emplace_back(at, code);
}

void CalculatorMachine::pressShifted(int shift, int code) {
    if (!isShiftShown(shift)) {
        press(shift);
        run(std::max<int64_t>(minimumHoldMs_, 100));
        release(shift);
        run(150);
    }
    press(code);
}

void CalculatorMachine::run(int64_t ms) {
    for (int64_t remaining = ms; remaining > 0;) {
        const int64_t slice = std::min<int64_t>(remaining, 10);
        calc_.run(10);
        simMs_ += slice;

        if (!delayedRelease_.empty()) {
            std::vector<std::pair<int64_t, int>> due, later;
            for (const auto& entry : delayedRelease_) (entry.first <= simMs_ ? due : later).push_back(entry);
            delayedRelease_ = std::move(later);
            for (const auto& [at, code] : due) releaseNow(code);
        }
        for (auto it = pendingRelease_.begin(); it != pendingRelease_.end();) {
            auto down = downSince_.find(*it);
            const int64_t held = simMs_ - (down == downSince_.end() ? 0 : down->second);
            if (held >= minimumHoldMs_) {
                keyUp(*it);
                it = pendingRelease_.erase(it);
            } else {
                ++it;
            }
        }
        remaining -= slice;
    }
}

bool CalculatorMachine::isDisplayBlank() const {
    const std::string text = displayText();
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

std::string CalculatorMachine::displayText() const { return calc_.lcd().text; }

bool CalculatorMachine::isShiftShown(int shift) const {
    const std::string label = shift == keyF ? "f" : "g";
    const auto lit = litAnnunciators(calc_.lcd(), CalculatorModel::model(int(tw_model(calc_.handle()))));
    return std::any_of(lit.begin(), lit.end(), [&](const Annunciator& a) { return a.label == label; });
}

std::vector<uint8_t> CalculatorMachine::readMemoryOff(bool turnBackOn) {
    // Keys still held (latched on the face) would turn the ON taps into a chord.
    settleKeys();
    const bool wasOff = isDisplayBlank();
    turnOff();
    std::vector<uint8_t> memory = calc_.readMemory();
    if (turnBackOn && !wasOff) turnOn();
    return memory;
}

SavedState CalculatorMachine::savedState(bool turnBackOn) {
    SavedState state;
    state.memory = readMemoryOff(turnBackOn);
    state.variant = variant();
    state.firmwareID = firmwareID_;
    return state;
}

void CalculatorMachine::turnOff() {
    for (int i = 0; i < 3 && !isDisplayBlank(); ++i) {
        coreTap(keyON);
        run(500);
    }
}

void CalculatorMachine::turnOn() {
    for (int i = 0; i < 2 && isDisplayBlank(); ++i) {
        coreTap(keyON);
        run(1000);
    }
}

bool CalculatorMachine::showsPrError() const { return displayText().find("Pr Error") != std::string::npos; }

void CalculatorMachine::clearPrError() {
    if (showsPrError()) coreTap(keyClearError);
}

} // namespace tw
