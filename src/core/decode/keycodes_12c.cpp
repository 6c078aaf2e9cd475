// HP-12C key codes of the one-byte program steps.
#include "core/decode/keycode_builder.h"

namespace tw::decode {

namespace {

using build::Run;

// Bytes 0x00 to 0x9F by rule: byte 16h + c, h from 0 to 9. GTO takes the two digits
// h and c, every other row the digit h.
struct DigitRule {
    const char* keys;
    const char* mnemonic;
    char prefix;
};

constexpr DigitRule kGoto = {"43,33 ", "GTO ", 'g'}; // c from 0 to 9
constexpr DigitRule kDigitRules[6] = {
    {"44 48 ", "STO .", 0}, // c = 0xA
    {"45 48 ", "RCL .", 0}, // 0xB
    {"44 ", "STO ", 0},     // 0xC
    {"45 ", "RCL ", 0},     // 0xD
    {"42 ", "", 'f'},       // 0xE
    {"", "", 0},            // 0xF
};

// codes, keys, mnemonic, prefix, operands, their key forms where they differ
constexpr Run kRuns[] = {
    {0xA0, 0xA0, "48", "·", 0},
    {0xA1, 0xA1, "26", "EEX", 0},
    {0xA2, 0xA2, "16", "CHS", 0},
    {0xA3, 0xA3, "31", "R/S", 0},
    {0xA4, 0xA4, "35", "CLx", 0},
    {0xA5, 0xA5, "34", "x≷y", 0},
    {0xA6, 0xA6, "11", "n", 0},
    {0xA7, 0xA7, "12", "i", 0},
    {0xA8, 0xA8, "13", "PV", 0},
    {0xA9, 0xA9, "14", "PMT", 0},
    {0xAA, 0xAA, "15", "FV", 0},
    {0xAB, 0xAB, "21", "yˣ", 0},
    {0xAC, 0xAC, "22", "1/x", 0},
    {0xAD, 0xAD, "23", "%T", 0},
    {0xAE, 0xAE, "24", "Δ%", 0},
    {0xAF, 0xAF, "25", "%", 0},
    {0xB0, 0xB0, "42 48", "·", 'f'},
    {0xB1, 0xB1, "20", "×", 0},
    {0xB2, 0xB2, "30", "−", 0},
    {0xB3, 0xB3, "10", "÷", 0},
    {0xB4, 0xB4, "40", "+", 0},
    {0xB5, 0xB5, "42 34", "FIN", 'f'},
    {0xB6, 0xB6, "42 11", "AMORT", 'f'},
    {0xB7, 0xB7, "42 12", "INT", 'f'},
    {0xB8, 0xB8, "42 13", "NPV", 'f'},
    {0xB9, 0xB9, "42 14", "RND", 'f'},
    {0xBA, 0xBA, "42 15", "IRR", 'f'},
    {0xBB, 0xBB, "42 21", "PRICE", 'f'},
    {0xBC, 0xBC, "42 22", "YTM", 'f'},
    {0xBD, 0xBD, "42 23", "SL", 'f'},
    {0xBE, 0xBE, "42 24", "SOYD", 'f'},
    {0xBF, 0xBF, "42 25", "DB", 'f'},
    {0xC0, 0xC0, "43 48", "s", 'g'},
    {0xC1, 0xC1, "43 26", "ΔDYS", 'g'},
    {0xC2, 0xC2, "43 16", "DATE", 'g'},
    {0xC3, 0xC3, "43 31", "PSE", 'g'},
    {0xC4, 0xC4, "43 35", "x=0?", 'g'},
    {0xC5, 0xC5, "43 34", "x≤y?", 'g'},
    {0xC6, 0xC6, "43 11", "12×", 'g'},
    {0xC7, 0xC7, "43 12", "12÷", 'g'},
    {0xC8, 0xC8, "43 13", "CFo", 'g'},
    {0xC9, 0xC9, "43 14", "CFj", 'g'},
    {0xCA, 0xCA, "43 15", "Nj", 'g'},
    {0xCB, 0xCB, "43 21", "√x", 'g'},
    {0xCC, 0xCC, "43 22", "eˣ", 'g'},
    {0xCD, 0xCD, "43 23", "LN", 'g'},
    {0xCE, 0xCE, "43 24", "FRAC", 'g'},
    {0xCF, 0xCF, "43 25", "INTG", 'g'},
    {0xD0, 0xD0, "43  0", "x̄", 'g'},
    {0xD1, 0xD1, "43  1", "x̂,r", 'g'},
    {0xD2, 0xD2, "43  2", "ŷ,r", 'g'},
    {0xD3, 0xD3, "43  3", "n!", 'g'},
    {0xD4, 0xD4, "36", "ENTER", 0},
    {0xD5, 0xD5, "43 36", "LSTx", 'g'},
    {0xD6, 0xD6, "43  6", "x̄w", 'g'},
    {0xD7, 0xD7, "43  7", "BEG", 'g'},
    {0xD8, 0xD8, "43  8", "END", 'g'},
    {0xD9, 0xDB, "45,43 ", "RCL g ", 0, "12÷ CFj PSE", "12 14 31"},
    {0xDC, 0xDC, "33", "R↓", 0},
    {0xDD, 0xDD, "42 32", "Σ", 'f'},
    {0xDE, 0xDE, "45,43 15", "RCL g Nj", 0},
    {0xDF, 0xDF, "45,43 11", "RCL g 12×", 0},
    {0xE0, 0xE0, "43 49", "Σ−", 'g'},
    {0xE1, 0xE1, "49", "Σ+", 0},
    {0xE2, 0xE6, "45 ", "RCL ", 0, "n i PV PMT FV", "11 12 13 14 15"},
    {0xE7, 0xEB, "44 ", "STO ", 0, "n i PV PMT FV", "11 12 13 14 15"},
    {0xEC, 0xF0, "44 40 ", "STO + ", 0, "0 1 2 3 4"},
    {0xF1, 0xF5, "44 30 ", "STO − ", 0, "0 1 2 3 4"},
    {0xF6, 0xFA, "44 20 ", "STO × ", 0, "0 1 2 3 4"},
    {0xFB, 0xFF, "44 10 ", "STO ÷ ", 0, "0 1 2 3 4"},
};

constexpr KeyTable buildTable()
{
    KeyTable table{};
    for (int h = 0; h <= 9; ++h) {
        for (int c = 0; c <= 15; ++c) {
            const DigitRule& rule = c <= 9 ? kGoto : kDigitRules[c - 10];
            KeyRow& row = table[16 * h + c];
            const char digits[3] = {static_cast<char>('0' + h), static_cast<char>('0' + c), 0};
            const size_t count = c <= 9 ? 2 : 1;
            build::append(row.keys, rule.keys);
            build::append(row.keys, digits, count);
            build::append(row.mnemonic, rule.mnemonic);
            build::append(row.mnemonic, digits, count);
            row.prefix = rule.prefix;
        }
    }
    build::apply(table, kRuns, false);
    for (const KeyRow& row : table)
        if (row.keys[0] == 0 || row.mnemonic[0] == 0)
            throw std::logic_error("a row is not given");
    return table;
}

constexpr KeyTable kTable = buildTable();

} // namespace

const KeyTable& keyTable12c() { return kTable; }

} // namespace tw::decode
