// Shared test helpers: our own test firmware images (tests/firmware/) and the
// fingerprints that make the core recognise them.
//
//   TW_REQUIRE_TEST_FIRMWARE();              // in a test: skip when the images were not built
//   auto m = tw::test::loadedMachine(tw::test::Firmware::Hp16c);   // fingerprints installed, loaded
//   auto m = tw::test::startedMachine(tw::test::Firmware::Hp15c);  // ... and started in mode 1
//   const auto& bytes = tw::test::firmwareBytes(tw::test::Firmware::Multi);
//
// One fingerprint table identifies all four images: the layout windows are those
// of the HP-16C image (the other images differ there) and every image starts its
// text routine with the same 16 bytes. Link with the CMake target tw_test_support.
#pragma once

#include "core/tw.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tw::test {

enum class Firmware {
    Hp15c,         // family 15
    Hp16c,         // family 16, with the program runner's entry points
    Hp16cExtended, // family 16 with the extended-memory word set
    Multi,         // family 99: 12C, 15C, 15C (15.2) and 16C descriptors; runs the 12C
};

// Where the images keep what the core looks for (file offsets unless named addresses).
inline constexpr size_t kLayoutOffsets[3] = {18580, 18746, 23480};
inline constexpr size_t kAnchorOffset16c = 32162;   // address 0xBDA2
inline constexpr size_t kAnchorOffset15c = 0x12000; // address 0x16000
inline constexpr size_t kAnchorOffsetMulti = 85394; // address 0x18D92
inline constexpr uint32_t kDisplayWordA16c = 0x200008D0u; // HP-16C display words A, then B at +8

// True when the images were built (the ARM cross compiler is installed).
bool firmwareBuilt();

// The bytes of an image; empty when it was not built or cannot be read.
const std::vector<uint8_t>& firmwareBytes(Firmware which);

// Installs the fingerprints of our images through tw_test_use_fingerprints.
// Idempotent and safe from several threads; the table stays valid for the process.
void useTestFingerprints();

struct MachineDeleter {
    void operator()(tw_machine* m) const { tw_destroy(m); }
};
using MachinePtr = std::unique_ptr<tw_machine, MachineDeleter>;

// A new machine with the image loaded (fingerprints installed first); null when
// the image is missing or the core refuses it.
MachinePtr loadedMachine(Firmware which);

// loadedMachine, then tw_start(mode, pressOn); null when either fails.
MachinePtr startedMachine(Firmware which, int mode = 1, int pressOn = 0);

} // namespace tw::test

// Skips the current GoogleTest test when the test firmware was not built.
#define TW_REQUIRE_TEST_FIRMWARE()                                                                    \
    do {                                                                                              \
        if (!::tw::test::firmwareBuilt()) GTEST_SKIP() << "test firmware not built (no arm-none-eabi-gcc)"; \
    } while (0)
