// Loading a firmware file: the size and vector-table checks, the record's own
// copy, and identification by SHA-256 fingerprints of fixed 16-byte windows.
#include "core/bits.h"
#include "core/machine.h"
#include "core/memory_map.h"
#include "core/firmware/sha256.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr size_t kMinFirmwareSize = 114688;
constexpr size_t kMaxFirmwareSize = 245760;
constexpr uint32_t kMaxStackPointer = 0x20010000u;

constexpr size_t kLayoutOffsets[3] = {18580, 18746, 23480};
constexpr size_t kWindowSize = 16;
constexpr size_t kExtendedMemoryOffset = 0xE000;

constexpr uint32_t kAnchorHP16C = 48546;
constexpr uint32_t kAnchorMultiModel = 101778;
constexpr uint32_t kAnchorLowestHP15C = 81921;

constexpr const char* kSizeError = "file size is not that of an HP-15C CE / HP-16C CE firmware (about 112 KB)";
constexpr const char* kVectorError = "the file does not start with an ARM vector table for address 0x4000";
constexpr const char* kUnknownError =
    "firmware not recognised as an HP-12C, HP-15C or HP-16C CE firmware this core knows";

// The digests of the real calculator firmware.
constexpr tw_fingerprints kBuiltInFingerprints = {
    {"1e8b1f0bec9459339d10625e8072768e3c46f83958dcc3b3ba775a2983af1e70",
     "c300cff860f1a8f7a9c2627096a5d0e630baadba2cbc5508bab353a9d58102dd",
     "0ca9c0c14d3760a6018a5790c00af237ecbd2d200e4a7707936b70418247c31c"},
    "2dde7636aead543cf2646541a2193e06ab2a3843b3703c111674125465623feb",
};

// Tests put their own table here; the caller keeps it alive until it restores null.
std::atomic<const tw_fingerprints*> gTestFingerprints{nullptr};

// A fingerprint as bytes. Digests are compared as their full lower-case text, so
// a text that is not 64 lower-case hexadecimal digits matches no window.
struct Digest {
    uint8_t bytes[tw::kSha256Size] = {};
    bool valid = false;

    explicit Digest(const char* hex) {
        for (size_t i = 0; i < 2 * tw::kSha256Size; ++i) {
            const char c = hex[i];
            int nibble;
            if (c >= '0' && c <= '9') nibble = c - '0';
            else if (c >= 'a' && c <= 'f') nibble = c - 'a' + 10;
            else return;
            bytes[i / 2] = uint8_t(bytes[i / 2] << 4 | nibble);
        }
        valid = hex[2 * tw::kSha256Size] == 0;
    }

    bool matches(const uint8_t* window) const {
        if (!valid) return false;
        uint8_t digest[tw::kSha256Size];
        tw::sha256Window16(window, digest);
        return std::memcmp(digest, bytes, sizeof digest) == 0;
    }
};

using tw::kFirmwareBase;
using tw::loadLE32;

bool hasVectorTable(const uint8_t* bytes, size_t size) {
    const uint32_t stackPointer = loadLE32(bytes);
    const uint32_t reset = loadLE32(bytes + 4) & ~1u;
    return (stackPointer >> 24) >= 0x20 && stackPointer <= kMaxStackPointer && reset >= kFirmwareBase &&
           reset - kFirmwareBase < size;
}

// Forgets the previous firmware and everything identification found in it.
void clearFirmware(tw_machine* m) {
    m->firmware.reset();
    m->firmwareSize = 0;
    m->model = 0;
    m->family = 0;
    m->modelCode = 0;
    m->extendedMemory = 0;
    m->layoutFlag = 0;
    m->anchor = 0;
    m->description[0] = 0;
    m->mode = TW_MODE_NONE;
}

void identify(tw_machine* m, const tw_fingerprints& table) {
    const uint8_t* file = m->firmware.get();
    const size_t size = m->firmwareSize;

    m->layoutFlag = 1;
    for (int i = 0; i < 3; ++i) // all three are always hashed
        if (!Digest(table.layout[i]).matches(file + kLayoutOffsets[i])) m->layoutFlag = 0;

    const Digest anchorDigest(table.anchor);
    uint32_t matches = 0, last = 0;
    if (anchorDigest.valid) {
        for (size_t o = 0; o + kWindowSize < size; o += 2) {
            if (anchorDigest.matches(file + o)) {
                ++matches;
                last = uint32_t(o) + kFirmwareBase;
            }
        }
    }
    m->anchor = matches == 1 ? last : 0;

    const char* description = "unknown firmware";
    const char* suffix = "";
    m->family = 0;
    m->model = 0;
    m->extendedMemory = 0;
    if (m->layoutFlag && m->anchor == kAnchorHP16C) {
        m->model = m->family = TW_FAMILY_16C;
        m->extendedMemory = loadLE32(file + kExtendedMemoryOffset) != 0 ? 1 : 0;
        description = "HP-16C CE firmware";
        if (m->extendedMemory) suffix = " (extended memory)";
    } else if (m->anchor == kAnchorMultiModel) {
        m->family = TW_FAMILY_MULTI;
        m->model = TW_FAMILY_12C;
        description = "HP-12C CE multi firmware (12C / 15C / 16C)";
    } else if (m->anchor >= kAnchorLowestHP15C && !m->layoutFlag) {
        m->model = m->family = TW_FAMILY_15C;
        description = "HP-15C CE firmware";
    }
    std::snprintf(m->description, sizeof m->description, "%s%s", description, suffix);
}

} // namespace

extern "C" {

void tw_test_use_fingerprints(const tw_fingerprints* table) { gTestFingerprints.store(table); }

int tw_load_firmware(tw_machine* machine, const uint8_t* bytes, size_t size) {
    if (!machine || !bytes) return TW_ERR_ARGUMENT;
    if (size < kMinFirmwareSize || size > kMaxFirmwareSize) {
        tw::setLastError(machine, kSizeError);
        return TW_ERR_FIRMWARE;
    }
    if (!hasVectorTable(bytes, size)) {
        tw::setLastError(machine, kVectorError);
        return TW_ERR_FIRMWARE;
    }

    // From here the previous firmware is gone, also when the copy cannot be made:
    // a record must never describe a file it no longer holds.
    clearFirmware(machine);
    std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[size]);
    if (!copy) return TW_ERR_ARGUMENT;
    std::memcpy(copy.get(), bytes, size);
    machine->firmware = std::move(copy);
    machine->firmwareSize = size;

    const tw_fingerprints* table = gTestFingerprints.load();
    identify(machine, table ? *table : kBuiltInFingerprints);
    machine->mode = TW_MODE_NONE;

    if (machine->family != TW_FAMILY_NONE) return TW_OK;
    tw::setLastError(machine, kUnknownError);
    return TW_ERR_FIRMWARE;
}

} // extern "C"
