// The trial check of a memory image: load it into a scratch machine, power-cycle it
// and see whether the calculator keeps it.
#include "runtime/machine/calculator_machine.h"

#include <algorithm>
#include <memory>

namespace tw {

namespace {

std::string trimmed(const std::string& text) {
    const auto space = [](unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    auto first = std::find_if_not(text.begin(), text.end(), space);
    auto last = std::find_if_not(text.rbegin(), text.rend(), space).base();
    return first < last ? std::string(first, last) : std::string();
}

MemoryCheck runCheck(std::span<const uint8_t> memory, std::span<const uint8_t> firmware, int variant) {
    auto scratch = std::make_unique<CalculatorMachine>();
    scratch->load(firmware);
    scratch->start(std::nullopt);
    if (variant != scratch->variant()) scratch->switchModel(variant);
    scratch->turnOff();
    scratch->calculator().writeMemory(memory);

    std::optional<std::string> display;
    for (int attempt = 0; attempt < 3 && !display; ++attempt) {
        scratch->coreTap(CalculatorMachine::keyON);
        scratch->run(1500);
        const std::string text = scratch->displayText();
        if (text.find("Error") != std::string::npos && text.find("Pr") != std::string::npos)
            return MemoryCheck::rejected();
        if (text.find_first_not_of(' ') != std::string::npos) {
            display = text;
        } else if (auto snapshot = scratch->inspect(); snapshot && snapshot->running) {
            display = "running";
        }
    }
    if (!display) return MemoryCheck::unreadable();

    scratch->turnOff();
    const std::vector<uint8_t> after = scratch->readMemory();
    long long differing = 0;
    for (size_t i = CalculatorMachine::comparedBegin; i < CalculatorMachine::comparedEnd; ++i)
        if (memory[i] != after[i]) ++differing;
    if (differing > 0) return MemoryCheck::changed(differing);

    if ((variant == 150 || variant == 152) && *display != "running") {
        scratch->turnOn();
        if (scratch->readMemStatus().find("Error 10") != std::string::npos) return MemoryCheck::needsMoreMemory();
    }
    return MemoryCheck::fits(trimmed(*display));
}

} // namespace

MemoryCheck CalculatorMachine::checkMemory(std::span<const uint8_t> memory, std::span<const uint8_t> firmware,
                                           int variant) {
    if (memory.size() != TW_MEMORY_SIZE) return MemoryCheck::wrongSize((long long)memory.size());
    try {
        return runCheck(memory, firmware, variant);
    } catch (...) {
        return MemoryCheck::unreadable();
    }
}

std::vector<int> CalculatorMachine::fittingVariants(std::span<const uint8_t> memory,
                                                    std::span<const uint8_t> firmware,
                                                    const std::vector<int>& images) {
    std::vector<int> fitting;
    for (int variant : images)
        if (checkMemory(memory, firmware, variant).kind == MemoryCheck::Kind::fits) fitting.push_back(variant);
    return fitting;
}

bool CalculatorMachine::needsExtendedMemory(std::span<const uint8_t> memory, std::span<const uint8_t> firmware,
                                            const std::vector<int>& images) {
    const auto has = [&](int v) { return std::find(images.begin(), images.end(), v) != images.end(); };
    if (!has(150) || !has(152)) return false;
    return checkMemory(memory, firmware, 150).kind == MemoryCheck::Kind::needsMoreMemory;
}

} // namespace tw
