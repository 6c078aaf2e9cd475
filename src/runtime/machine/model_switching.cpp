// Model switching through the service menu, the ON-key chords and memory loading.
#include "runtime/machine/calculator_machine.h"

#include "core/tw.h"

#include <algorithm>

namespace tw {

std::optional<int> CalculatorMachine::selectorKey(int variant) {
    switch (variant) {
    // The HP-12C image is chosen with the same key as the HP-15C: the firmware's
    // model menu decides which image runs next; switchModel checks the outcome.
    case 120: return 1;
    case 150: return 1;
    case 152: return 3;
    case 160: return 5;
    default: return std::nullopt;
    }
}

void CalculatorMachine::chordWithON(const std::vector<int>& codes) {
    for (int code : codes) calc_.keyDown(code);
    run(100);
    calc_.keyDown(keyON);
    run(300);
    calc_.keyUp(keyON);
    run(200);
    for (int code : codes) calc_.keyUp(code);
    run(800);
}

void CalculatorMachine::play(const KeyChord& chord) {
    settleKeys();
    turnOff();
    const auto keys = chord.keys();
    chordWithON(std::vector<int>(keys.begin(), keys.end()));
}

void CalculatorMachine::performSwitch(int variant) {
    const bool known = std::find(images_.begin(), images_.end(), variant) != images_.end();
    const auto selector = selectorKey(variant);
    if (images_.size() < 2 || !known || !selector) return;
    turnOff();
    chordWithON({keyG, keyENTER});
    coreTap(keyModelItem);
    coreTap(*selector);
    run(2000);
    clearPrError();
    turnOn();
}

void CalculatorMachine::switchModel(int variant) {
    if (images_.size() < 2 || std::find(images_.begin(), images_.end(), variant) == images_.end())
        throw SwitchError::notInFirmware(variant);
    settleKeys();
    performSwitch(variant);
    if (this->variant() != variant) throw SwitchError::didNotSwitch(variant, this->variant());
}

void CalculatorMachine::loadMemory(std::span<const uint8_t> memory) {
    // Keys still held would turn the ON taps below into a chord (with "−" held, the
    // memory reset that wipes what was just loaded).
    settleKeys();
    turnOn();
    calc_.writeMemory(memory);
    turnOff();
    turnOn();
}

std::string CalculatorMachine::readMemStatus() {
    coreTap(keyG);
    calc_.keyDown(keyRCL);
    calc_.run(400);
    std::string text = displayText();
    calc_.keyUp(keyRCL);
    calc_.run(800);
    return text;
}

} // namespace tw
