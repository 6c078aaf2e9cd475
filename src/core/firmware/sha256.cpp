// SHA-256 as FIPS 180-4 defines it. The firmware load hashes about 123,000
// 16-byte windows, so the one-block case has its own path without buffering.
#include "core/firmware/sha256.h"

#include "core/tw.h"

#include <cstring>

namespace {

constexpr uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

constexpr uint32_t kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                  0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

inline uint32_t rotr(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

inline uint32_t loadBE(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

inline void storeBE(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

// One compression over the message schedule's first 16 words.
void compress(uint32_t state[8], uint32_t w[64]) {
    for (int t = 16; t < 64; ++t) {
        const uint32_t s0 = rotr(w[t - 15], 7) ^ rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
        const uint32_t s1 = rotr(w[t - 2], 17) ^ rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    for (int t = 0; t < 64; ++t) {
        const uint32_t t1 = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[t] + w[t];
        const uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

void compressBlock(uint32_t state[8], const uint8_t block[64]) {
    uint32_t w[64];
    for (int t = 0; t < 16; ++t) w[t] = loadBE(block + 4 * t);
    compress(state, w);
}

void writeDigest(const uint32_t state[8], uint8_t digest[32]) {
    for (int i = 0; i < 8; ++i) storeBE(digest + 4 * i, state[i]);
}

} // namespace

namespace tw {

void sha256(const uint8_t* bytes, size_t size, uint8_t digest[kSha256Size]) {
    uint32_t state[8];
    std::memcpy(state, kInitial, sizeof state);
    size_t done = 0;
    for (; size - done >= 64; done += 64) compressBlock(state, bytes + done);

    // The tail, the 0x80 marker and the message length in bits fill one or two blocks.
    uint8_t tail[128] = {};
    const size_t rest = size - done;
    if (rest) std::memcpy(tail, bytes + done, rest);
    tail[rest] = 0x80;
    const size_t tailSize = rest < 56 ? 64 : 128;
    const uint64_t bits = uint64_t(size) * 8;
    for (int i = 0; i < 8; ++i) tail[tailSize - 1 - i] = uint8_t(bits >> (8 * i));
    for (size_t off = 0; off < tailSize; off += 64) compressBlock(state, tail + off);
    writeDigest(state, digest);
}

void sha256Window16(const uint8_t* window, uint8_t digest[kSha256Size]) {
    uint32_t w[64] = {};
    for (int t = 0; t < 4; ++t) w[t] = loadBE(window + 4 * t);
    w[4] = 0x80000000u;
    w[15] = 16 * 8;
    uint32_t state[8];
    std::memcpy(state, kInitial, sizeof state);
    compress(state, w);
    writeDigest(state, digest);
}

} // namespace tw

extern "C" {

void tw_sha256(const uint8_t* bytes, size_t size, uint8_t digest[32]) {
    if (!digest) return;
    if (!bytes) size = 0; // a null buffer counts as the empty message
    tw::sha256(bytes, size, digest);
}

void tw_sha256_hex(const uint8_t* bytes, size_t size, char hex[65]) {
    if (!hex) return;
    static constexpr char kDigits[] = "0123456789abcdef";
    uint8_t digest[32];
    tw_sha256(bytes, size, digest);
    for (int i = 0; i < 32; ++i) {
        hex[2 * i] = kDigits[digest[i] >> 4];
        hex[2 * i + 1] = kDigits[digest[i] & 15];
    }
    hex[64] = 0;
}

} // extern "C"
