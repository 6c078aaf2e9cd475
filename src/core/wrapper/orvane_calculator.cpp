#include "core/wrapper/orvane_calculator.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tw {

namespace {

constexpr uint32_t kMinimumRunMs = 10;

} // namespace

OrvaneCalculator::OrvaneCalculator() : machine_(tw_create()) {
    if (!machine_) {
        std::fputs("tw_create failed (out of memory)\n", stderr);
        std::abort();
    }
}

void OrvaneCalculator::check(int status) const {
    if (status >= 0) return;
    const char* text = tw_last_error(handle());
    throw CalculatorError::fromStatus(status, text ? text : "");
}

void OrvaneCalculator::loadFirmware(std::span<const uint8_t> bytes) {
    // The core refuses a null buffer; an empty file is still a file to refuse by size.
    static const uint8_t kNothing = 0;
    check(tw_load_firmware(handle(), bytes.empty() ? &kNothing : bytes.data(), bytes.size()));
}

std::string OrvaneCalculator::firmwareDescription() const {
    const char* text = tw_firmware_description(handle());
    return text ? text : "";
}

CalculatorFamily OrvaneCalculator::family() const {
    const uint32_t raw = tw_family(handle());
    if (raw > 99) return CalculatorFamily::none;
    return calculatorFamily(static_cast<int>(raw)).value_or(CalculatorFamily::none);
}

std::vector<int> OrvaneCalculator::availableModels() const {
    constexpr int kRoom = 8;
    uint32_t codes[kRoom] = {};
    const int found = tw_firmware_models(handle(), codes, kRoom);
    std::vector<int> models;
    for (int i = 0; i < std::min(found, kRoom); ++i) models.push_back(static_cast<int>(codes[i]));
    return models;
}

int OrvaneCalculator::model() const { return static_cast<int>(tw_model(handle())); }

int OrvaneCalculator::modelCode() const { return static_cast<int>(tw_model_code(handle())); }

void OrvaneCalculator::run(uint32_t ms) { check(tw_run(handle(), std::max(ms, kMinimumRunMs))); }

int OrvaneCalculator::keyDown(int code) { return tw_key_down(handle(), code); }

int OrvaneCalculator::keyUp(int code) { return tw_key_up(handle(), code); }

void OrvaneCalculator::press(int code, uint32_t holdMs, uint32_t releaseMs) {
    keyDown(code);
    run(holdMs);
    keyUp(code);
    run(releaseMs);
}

void OrvaneCalculator::powerOn() { check(tw_start(handle(), TW_MODE_CALCULATOR, 0)); }

void OrvaneCalculator::writeMemory(std::span<const uint8_t> bytes) {
    if (bytes.size() != memorySize)
        throw CalculatorError::argument("A memory file must be exactly " + std::to_string(memorySize) +
                                        " bytes (this one is " + std::to_string(bytes.size()) + ").");
    check(tw_write_memory(handle(), bytes.data()));
}

std::vector<uint8_t> OrvaneCalculator::readMemory() {
    std::vector<uint8_t> memory(memorySize, 0);
    check(tw_read_memory(handle(), memory.data()));
    return memory;
}

LCDState OrvaneCalculator::lcd() const {
    struct tw_lcd record{};
    if (tw_lcd(handle(), &record) < 0) return LCDState::blank();
    char text[48] = {};
    tw_lcd_text(&record, text, sizeof text);
    text[sizeof text - 1] = '\0';
    return LCDState::fromRecord(record, text);
}

std::string OrvaneCalculator::displayText() const { return lcd().text; }

int OrvaneCalculator::setBattery(double volts) { return tw_set_battery(handle(), volts); }

OrvaneCalculator::Stats OrvaneCalculator::stats() const {
    uint64_t out[4] = {};
    tw_stats(handle(), out);
    return {out[0], out[1], out[2], out[3]};
}

std::optional<int> OrvaneCalculator::keyCode(int model, const std::string& name) {
    const int code = tw_key_code(model, name.c_str());
    if (code < 0) return std::nullopt;
    return code;
}

} // namespace tw
