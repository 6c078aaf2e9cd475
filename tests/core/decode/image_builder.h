// Hand-made 2048-byte memory images for the decoder tests: BCD words, program steps
// of each model and the HP-15C pool bytes, written at the offsets the firmware uses.
#pragma once

#include "core/decode/context.h"
#include "core/decode/program.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace tw::decode::testing {

// A BCD register word: mantissa digits from the one before the point ("15" is 1.5),
// a decimal exponent and a sign.
inline uint64_t bcd(std::string_view digits, int exponent, bool negative = false)
{
    uint64_t word = 0;
    for (int i = 0; i < 10; ++i) {
        const uint64_t d = i < static_cast<int>(digits.size()) ? static_cast<uint64_t>(digits[i] - '0') : 0;
        word |= d << (4 * (12 - i));
    }
    const int stored = exponent < 0 ? 100 + exponent : exponent;
    word |= static_cast<uint64_t>(stored % 10) | static_cast<uint64_t>(stored / 10) << 4;
    if (exponent < 0)
        word |= uint64_t{9} << 8;
    if (negative)
        word |= uint64_t{9} << 52;
    return word;
}

struct Image {
    std::array<uint8_t, TW_MEMORY_SIZE> bytes{};
    Context context{bytes.data(), 15, 150, {}};

    static Image hp12c() { return Image(12, 120); }
    static Image hp15c(uint32_t code = 150) { return Image(15, code); }
    static Image hp16c(Hp16Layout layout = {})
    {
        Image image(16, 160);
        image.context.layout16 = layout;
        return image;
    }

    Image(uint32_t model, uint32_t code) { context = {bytes.data(), model, code, {}}; }
    Image(const Image& other) : bytes(other.bytes), context(other.context) { context.image = bytes.data(); }
    Image& operator=(const Image&) = delete;

    void put(int offset, uint8_t value) { bytes.at(static_cast<size_t>(offset)) = value; }
    void putWord(int offset, uint64_t word)
    {
        for (int i = 0; i < 7; ++i)
            put(offset + i, static_cast<uint8_t>(word >> (8 * i)));
    }

    // HP-12C: k blocks of seven steps beyond the first eight; step bytes by line.
    void programBlocks12c(int k) { put(2017, static_cast<uint8_t>(13 - k)); }
    void step12c(int line, uint8_t code) { put(stepOffset12c(line), code); }

    // HP-15C: the step bytes as one stream from index 0, with its end pointer.
    void program15c(std::initializer_list<uint8_t> stream)
    {
        int index = 0;
        for (uint8_t b : stream)
            put(streamOffset15c(index++), b);
        const int size = index;
        const int page = 255 - (size - 1) / 7;
        put(288, static_cast<uint8_t>(page));
        put(289, static_cast<uint8_t>(size - 7 * (255 - page)));
    }
    // The current byte of the HP-15C program, the same way as the end pointer.
    void currentByte15c(int index)
    {
        const int page = 255 - index / 7;
        put(296, static_cast<uint8_t>(page));
        put(297, static_cast<uint8_t>(index + 1 - 7 * (255 - page)));
    }

    // HP-16C: the end pointer for a number of lines, and the step bytes by line.
    void lines16c(int lines)
    {
        put(2016, static_cast<uint8_t>(252 - lines / 7));
        put(2017, static_cast<uint8_t>(lines % 7));
    }
    void step16c(int line, uint8_t code) { put(stepOffset16c(context.layout16, line), code); }
    // Mode byte (base bits and complement) and word-size byte for a word size.
    void mode16c(uint8_t modeByte, int wordSize)
    {
        put(166, modeByte);
        // 4 x (15 - high nibble) plus the set bits of the low nibble.
        const int fours = (wordSize - 1) / 4;
        const int ones = wordSize - 4 * fours;
        put(165, static_cast<uint8_t>((15 - fours) << 4 | ((1 << ones) - 1)));
    }

    // HP-15C pool: R2's pool register, the matrix starts (A first) and dimensions.
    void pool15c(int data, std::array<int, 5> starts)
    {
        put(286, static_cast<uint8_t>(data));
        const int startBytes[5] = {285, 284, 283, 282, 281};
        for (int m = 0; m < 5; ++m)
            put(startBytes[m], static_cast<uint8_t>(starts[m]));
    }
    void matrix15c(int m, int rows, int cols)
    {
        const int rowBytes[5] = {318, 316, 314, 326, 324};
        const int colBytes[5] = {317, 315, 313, 325, 323};
        put(rowBytes[m], static_cast<uint8_t>(rows));
        put(colBytes[m], static_cast<uint8_t>(cols));
    }
    void complex15c(bool on) { put(76, static_cast<uint8_t>(on ? 0x08 : 0)); }
};

} // namespace tw::decode::testing
