// Synthetic firmware images for the core's tests, fuzzer and benchmarks.
//
// An image is a buffer of the requested size with a valid vector table. The three
// layout windows and the anchor window get bytes of their own, and the test
// fingerprint table holds the digests of those bytes, so an image identifies as
// the family whose windows it carries.
#pragma once

#include "core/tw.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace tw::test {

inline constexpr size_t kSmallestFirmware = 114688;
inline constexpr size_t kLargestFirmware = 245760;
inline constexpr size_t kLayoutOffsets[3] = {18580, 18746, 23480};
inline constexpr size_t kAnchorHP16C = 32162;      // emulated 48546
inline constexpr size_t kAnchorMultiModel = 85394; // emulated 101778
inline constexpr size_t kAnchorHP15C = 70000;      // any even offset from 65538 on but the multi-model one
inline constexpr size_t kExtendedMemoryWord = 0xE000;

inline const uint8_t* layoutBytes(int i) {
    static const uint8_t bytes[3][16] = {
        {'l', 'a', 'y', 'o', 'u', 't', ' ', 'o', 'n', 'e', 0x01, 0x02, 0x03, 0x04, 0x05, 0x06},
        {'l', 'a', 'y', 'o', 'u', 't', ' ', 't', 'w', 'o', 0x11, 0x12, 0x13, 0x14, 0x15, 0x16},
        {'l', 'a', 'y', 'o', 'u', 't', ' ', 't', 'h', 'r', 'e', 'e', 0x23, 0x24, 0x25, 0x26},
    };
    return bytes[i];
}

inline const uint8_t* anchorBytes() {
    static const uint8_t bytes[16] = {0xB5, 0x70, 'a', 'n', 'c', 'h', 'o', 'r', 0x4F, 0xF0, 0x00, 0x00, 0xBD, 0x70, 0x99, 0x42};
    return bytes;
}

// The fingerprint table that identifies the images made here.
inline const tw_fingerprints& testFingerprints() {
    static const tw_fingerprints table = [] {
        tw_fingerprints t{};
        for (int i = 0; i < 3; ++i) tw_sha256_hex(layoutBytes(i), 16, t.layout[i]);
        tw_sha256_hex(anchorBytes(), 16, t.anchor);
        return t;
    }();
    return table;
}

// Hands the core the test fingerprints (or another table) for the scope's lifetime.
class FingerprintScope {
public:
    explicit FingerprintScope(const tw_fingerprints& table = testFingerprints()) : table_(table) {
        tw_test_use_fingerprints(&table_);
    }
    ~FingerprintScope() { tw_test_use_fingerprints(nullptr); }
    FingerprintScope(const FingerprintScope&) = delete;
    FingerprintScope& operator=(const FingerprintScope&) = delete;

private:
    tw_fingerprints table_;
};

inline void putWord(std::vector<uint8_t>& image, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) image.at(offset + i) = uint8_t(value >> (8 * i));
}

inline void putHalfword(std::vector<uint8_t>& image, size_t offset, uint16_t value) {
    image.at(offset) = uint8_t(value);
    image.at(offset + 1) = uint8_t(value >> 8);
}

inline void putLayout(std::vector<uint8_t>& image) {
    for (int i = 0; i < 3; ++i) std::memcpy(&image.at(kLayoutOffsets[i]), layoutBytes(i), 16);
}

inline void putAnchor(std::vector<uint8_t>& image, size_t offset) { std::memcpy(&image.at(offset), anchorBytes(), 16); }

// A model-image descriptor: the signature bytes at +2 and the kind word at +10;
// doubleMemory adds the two words that mark a 15.2 image.
inline void putDescriptor(std::vector<uint8_t>& image, size_t offset, uint16_t kind, bool doubleMemory = false) {
    static const uint8_t signature[8] = {0x4E, 0x00, 0x70, 0x02, 0x38, 0x02, 0xEE, 0x02};
    std::memcpy(&image.at(offset + 2), signature, 8);
    putHalfword(image, offset + 10, kind);
    if (doubleMemory) {
        putHalfword(image, offset + 1708, 64);
        putHalfword(image, offset + 6098, 64);
    }
}

// A zero-filled image of the given size with a valid vector table.
inline std::vector<uint8_t> blankImage(size_t size = kSmallestFirmware) {
    std::vector<uint8_t> image(size);
    putWord(image, 0, 0x20008000);
    putWord(image, 4, 0x4101);
    return image;
}

inline std::vector<uint8_t> hp16cImage(bool extendedMemory = false, size_t size = kSmallestFirmware) {
    auto image = blankImage(size);
    putLayout(image);
    putAnchor(image, kAnchorHP16C);
    if (extendedMemory) putWord(image, kExtendedMemoryWord, 1);
    return image;
}

inline std::vector<uint8_t> hp15cImage(size_t size = kSmallestFirmware) {
    auto image = blankImage(size);
    putAnchor(image, kAnchorHP15C);
    return image;
}

// Multi-model: 12C, 15C (15.0 and 15.2) and 16C descriptors.
inline std::vector<uint8_t> multiModelImage(size_t size = kSmallestFirmware) {
    auto image = blankImage(size);
    putAnchor(image, kAnchorMultiModel);
    putDescriptor(image, 0x1000, 335);
    putDescriptor(image, 0x3000, 271);
    putDescriptor(image, 0x6000, 271, true);
    putDescriptor(image, 0x9000, 255);
    return image;
}

} // namespace tw::test
