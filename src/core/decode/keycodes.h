// The key-code tables: for every program step byte, the keys that enter it (row and
// column of each key), its mnemonic and its shift prefix. The texts are read word by
// word by the program analysis and the HP-15C key glyphs; they must not change.
#pragma once

#include <array>
#include <cstdint>

namespace tw::decode {

struct KeyRow {
    char keys[16];
    char mnemonic[28]; // UTF-8
    char prefix;       // 'f', 'g' or 0
};

using KeyTable = std::array<KeyRow, 256>;

const KeyTable& keyTable12c();
const KeyTable& keyTable16c();

// HP-15C: the one-byte table and the second-byte tables T0 to T6.
enum { kSecondByteTables15c = 7 };
const KeyTable& keyTable15c();
const KeyTable& secondByteTable15c(int table);
// The second-byte table that a two-byte step's first byte selects, -1 for a one-byte step.
int secondByteTableFor15c(uint8_t first);
// The row of a step: the one-byte table's for a one-byte step, else the selected table's.
const KeyRow& keyRow15c(uint8_t first, uint8_t second);

} // namespace tw::decode
