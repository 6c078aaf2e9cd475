// The result of a trial load of a memory image on a scratch machine.
#pragma once

#include <string>

namespace tw {

struct MemoryCheck {
    enum class Kind {
        fits,            // loads and survives a power cycle; `display` is what it shows
        changed,         // loads, but `bytes` bytes of the compared range changed
        wrongSize,       // not 2048 bytes; `bytes` is its length
        rejected,        // the calculator showed "Pr Error" and threw it away
        unreadable,      // the scratch machine failed, or no display came up
        needsMoreMemory, // an HP-15C image that fits only the 15.2 double memory
    };

    Kind kind = Kind::unreadable;
    std::string display;
    long long bytes = 0;

    static MemoryCheck fits(std::string display) { return {Kind::fits, std::move(display), 0}; }
    static MemoryCheck changed(long long n) { return {Kind::changed, {}, n}; }
    static MemoryCheck wrongSize(long long n) { return {Kind::wrongSize, {}, n}; }
    static MemoryCheck rejected() { return {Kind::rejected, {}, 0}; }
    static MemoryCheck unreadable() { return {Kind::unreadable, {}, 0}; }
    static MemoryCheck needsMoreMemory() { return {Kind::needsMoreMemory, {}, 0}; }

    bool operator==(const MemoryCheck&) const = default;
};

} // namespace tw
