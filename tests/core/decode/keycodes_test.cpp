// The key-code tables: their shape, and rows checked against the calculators' listings.
#include "core/decode/keycodes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tw::decode {
namespace {

struct NamedTable {
    std::string name;
    const KeyTable* table;
};

std::vector<NamedTable> allTables()
{
    std::vector<NamedTable> tables = {{"12C", &keyTable12c()}, {"16C", &keyTable16c()}, {"15C", &keyTable15c()}};
    for (int t = 0; t < kSecondByteTables15c; ++t)
        tables.push_back({"15C T" + std::to_string(t), &secondByteTable15c(t)});
    return tables;
}

TEST(KeyTables, ShiftPrefixFollowsTheFirstKey)
{
    for (const NamedTable& t : allTables()) {
        for (int code = 0; code < 256; ++code) {
            const KeyRow& row = (*t.table)[code];
            SCOPED_TRACE(t.name + " row " + std::to_string(code) + " " + row.keys);
            const std::string keys = row.keys;
            const char expected = keys.rfind("42", 0) == 0 ? 'f' : keys.rfind("43", 0) == 0 ? 'g' : 0;
            EXPECT_EQ(row.prefix, expected);
        }
    }
}

TEST(KeyTables, TextsFitTheListingRecord)
{
    for (const NamedTable& t : allTables()) {
        for (int code = 0; code < 256; ++code) {
            const KeyRow& row = (*t.table)[code];
            SCOPED_TRACE(t.name + " row " + std::to_string(code));
            EXPECT_GT(std::strlen(row.keys), 0u);
            EXPECT_GT(std::strlen(row.mnemonic), 0u);
            EXPECT_LE(std::strlen(row.keys), 15u);
            EXPECT_LE(std::strlen(row.mnemonic), 27u);
            // Key texts are key codes, digits, points and separators only.
            for (const char* p = row.keys; *p; ++p)
                EXPECT_NE(std::strchr("0123456789AbCdEF., -o", *p), nullptr) << row.keys;
        }
    }
}

struct Sample {
    const KeyTable& table;
    int code;
    const char* keys;
    const char* mnemonic;
    char prefix;
};

TEST(KeyTables, SampleRows)
{
    const KeyTable& t0 = secondByteTable15c(0);
    const KeyTable& t1 = secondByteTable15c(1);
    const KeyTable& t2 = secondByteTable15c(2);
    const KeyTable& t3 = secondByteTable15c(3);
    const KeyTable& t4 = secondByteTable15c(4);
    const KeyTable& t5 = secondByteTable15c(5);
    const KeyTable& t6 = secondByteTable15c(6);
    const Sample samples[] = {
        // HP-12C
        {keyTable12c(), 0x00, "43,33 00", "GTO 00", 'g'},
        {keyTable12c(), 0x99, "43,33 99", "GTO 99", 'g'},
        {keyTable12c(), 0x4A, "44 48 4", "STO .4", 0},
        {keyTable12c(), 0x9B, "45 48 9", "RCL .9", 0},
        {keyTable12c(), 0x2C, "44 2", "STO 2", 0},
        {keyTable12c(), 0x7D, "45 7", "RCL 7", 0},
        {keyTable12c(), 0x5E, "42 5", "5", 'f'},
        {keyTable12c(), 0x8F, "8", "8", 0},
        {keyTable12c(), 0xA5, "34", "x≷y", 0},
        {keyTable12c(), 0xD0, "43  0", "x̄", 'g'},
        {keyTable12c(), 0xDA, "45,43 14", "RCL g CFj", 0},
        {keyTable12c(), 0xE9, "44 13", "STO PV", 0},
        {keyTable12c(), 0xF0, "44 40 4", "STO + 4", 0},
        {keyTable12c(), 0xFF, "44 10 4", "STO ÷ 4", 0},
        // HP-16C
        {keyTable16c(), 0x0B, "43,22, b", "LBL B", 'g'},
        {keyTable16c(), 0x15, "43, 4, 5", "SF 5", 'g'},
        {keyTable16c(), 0x3D, "42,45, d", "FLOAT D", 'f'},
        {keyTable16c(), 0x7B, "45 .b", "RCL .b", 0},
        {keyTable16c(), 0x9F, "44 .F", "STO .F", 0},
        {keyTable16c(), 0xB9, "42 21", "x≷(i)", 'f'},
        {keyTable16c(), 0xDB, "43 b", "ASR", 'g'},
        {keyTable16c(), 0xEF, "42 F", "RRn", 'f'},
        {keyTable16c(), 0xFD, "d", "D", 0},
        // HP-15C one-byte table
        {keyTable15c(), 0xC1, "36", "ENTER", 0},
        {keyTable15c(), 0x0A, "42,21,11", "LBL A", 'f'},
        {keyTable15c(), 0x1C, "22 13", "GTO C", 0},
        {keyTable15c(), 0x59, "45 .9", "RCL .9", 0},
        {keyTable15c(), 0x6E, "44,43,15", "STO g E", 0},
        {keyTable15c(), 0x98, "42,23,24", "DIM (i)", 'f'},
        {keyTable15c(), 0xAE, "45,23,15", "RCL DIM E", 0},
        {keyTable15c(), 0xE5, "43,22,24", "HYP⁻¹ (i)", 'g'},
        {keyTable15c(), 0xFF, "42, 6, 5", "ISG 5", 'f'},
        // Second-byte tables
        {t0, 0x05, "42,21, 5", "LBL 5", 'f'},
        {t0, 0x7F, "45,16,16", "RCL MATRIX MATRIX", 0},
        {t0, 0xEF, "43 4o", "4o", 'g'},
        {t1, 0x0A, "22 21", "GTO SST", 0},
        {t1, 0x9F, "42,23,26", "DIM RESULT", 'f'},
        {t1, 0xBA, "43, 4,21", "SF SST", 'g'},
        {t1, 0xE1, "42,20,23", "∫ʸₓ SIN", 'f'},
        {t2, 0x05, "42,21, 5", "LBL 5", 'f'},
        {t2, 0xA3, "44,16, 8", "STO MATRIX 8", 0},
        {t2, 0xAC, "45,23,13", "RCL DIM C", 0},
        {t2, 0xB5, "44,30, .6", "STO − .6", 0},
        {t2, 0xBA, "43, 4,11", "SF A", 'g'},
        {t2, 0xCD, "43, 5,14", "CF D", 'g'},
        {t2, 0xFF, "42, 8,16", "SCI MATRIX", 'f'},
        {t3, 0x8B, "45,40,12", "RCL + B", 0},
        {t3, 0x00, "44,40, 0", "STO + 0", 0},
        {t3, 0x1F, "44,40,26", "STO + RESULT", 0},
        {t3, 0x75, "44,10, .5", "STO ÷ .5", 0},
        {t4, 0x0F, "42,20,16", "∫ʸₓ MATRIX", 'f'},
        {t4, 0x3D, "42, 4,24", "x≷ (i)", 'f'},
        {t5, 0x0E, "44,20,25", "STO × I", 0},
        {t5, 0xF9, "44,20, 9", "STO × 9", 0},
        {t6, 0x35, "43, 4, 5", "SF 5", 'g'},
        {t6, 0x3A, "43, 4,21", "SF SST", 'g'},
        {t6, 0x1C, "22 23", "GTO SIN", 0},
        {t6, 0x00, "42,21, .0", "LBL .0", 'f'},
        {t6, 0x9B, "42,16,22", "MATRIX GTO", 'f'},
        {t6, 0xAE, "44,16,15", "STO MATRIX E", 0},
    };
    for (const Sample& s : samples) {
        const KeyRow& row = s.table[s.code];
        SCOPED_TRACE(s.mnemonic);
        EXPECT_STREQ(row.keys, s.keys);
        EXPECT_STREQ(row.mnemonic, s.mnemonic);
        EXPECT_EQ(row.prefix, s.prefix);
    }
}

TEST(KeyTables, T0DiffersFromTheOneByteTableOnlyInTheTwoByteCodes)
{
    const KeyTable& oneByte = keyTable15c();
    const KeyTable& t0 = secondByteTable15c(0);
    for (int code = 0; code < 256; ++code) {
        const bool same = std::strcmp(oneByte[code].keys, t0[code].keys) == 0 &&
                          std::strcmp(oneByte[code].mnemonic, t0[code].mnemonic) == 0;
        EXPECT_EQ(same, (code & 0xF) != 0xF) << code;
    }
}

TEST(KeyTables, FirstByteSelectsTheSecondByteTable)
{
    EXPECT_EQ(secondByteTableFor15c(0xC1), -1);
    EXPECT_EQ(secondByteTableFor15c(0x0F), 0);
    for (int first = 0x1F; first <= 0xAF; first += 0x10)
        EXPECT_EQ(secondByteTableFor15c(static_cast<uint8_t>(first)), 1);
    EXPECT_EQ(secondByteTableFor15c(0xBF), 2);
    EXPECT_EQ(secondByteTableFor15c(0xCF), 3);
    EXPECT_EQ(secondByteTableFor15c(0xDF), 4);
    EXPECT_EQ(secondByteTableFor15c(0xEF), 5);
    EXPECT_EQ(secondByteTableFor15c(0xFF), 6);
    EXPECT_STREQ(keyRow15c(0xBF, 0xBA).mnemonic, "SF A");
    EXPECT_STREQ(keyRow15c(0xAF, 0xBA).mnemonic, "SF SST");
    EXPECT_STREQ(keyRow15c(0x1F, 0x00).mnemonic, "RCL × .0");
    EXPECT_STREQ(keyRow15c(0x1F, 0x00).keys, "45,20, .0");
}

} // namespace
} // namespace tw::decode
