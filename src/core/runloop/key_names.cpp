// Key names of the three calculators by key code, with the aliases a user may
// type for the names that are hard to type.
#include "core/tw.h"

#include <cstring>
#include <iterator>

namespace {

constexpr int kKeyCount = TW_KEY_COUNT;

// Key code = row * 10 + column; 30 is ON, 35 the matrix position below ENTER.
constexpr const char* kNames16[kKeyCount] = {
    "A",   "B",   "C",     "D",    "E",     "F",     "7", "8", "9", "÷",
    "GSB", "GTO", "HEX",   "DEC",  "OCT",   "BIN",   "4", "5", "6", "×",
    "R/S", "SST", "R↓",    "x<>y", "BSP",   "ENTER", "1", "2", "3", "−",
    "ON",  "f",   "g",     "STO",  "RCL",   "ENT2",  "0", ".", "CHS", "+",
};

constexpr const char* kNames15[kKeyCount] = {
    "√x",  "e^x", "10^x",  "y^x",  "1/x",   "CHS",   "7", "8", "9", "÷",
    "SST", "GTO", "SIN",   "COS",  "TAN",   "EEX",   "4", "5", "6", "×",
    "R/S", "GSB", "R↓",    "x<>y", "←",     "ENTER", "1", "2", "3", "−",
    "ON",  "f",   "g",     "STO",  "RCL",   "ENT2",  "0", ".", "Σ+", "+",
};

constexpr const char* kNames12[kKeyCount] = {
    "n",   "i",   "PV",    "PMT",  "FV",    "CHS",   "7", "8", "9", "÷",
    "y^x", "1/x", "%T",    "Δ%",   "%",     "EEX",   "4", "5", "6", "×",
    "R/S", "SST", "R↓",    "x<>y", "CLx",   "ENTER", "1", "2", "3", "−",
    "ON",  "f",   "g",     "STO",  "RCL",   "ENT2",  "0", ".", "Σ+", "+",
};

struct Alias {
    const char* typed;
    const char* name;
};

// Tried in this order.
constexpr Alias kAliases16[] = {
    {"*", "×"},     {"X", "×"},       {"/", "÷"},       {"-", "−"},     {"RDN", "R↓"}, {"RDOWN", "R↓"},
    {"XY", "x<>y"}, {"X<>Y", "x<>y"}, {"<-", "BSP"},    {"BACK", "BSP"}, {"RS", "R/S"},
};

constexpr Alias kAliases15[] = {
    {"SQRT", "√x"},  {"EX", "e^x"},    {"E^X", "e^x"},   {"10X", "10^x"}, {"10^X", "10^x"},
    {"YX", "y^x"},   {"Y^X", "y^x"},   {"1/X", "1/x"},   {"<-", "←"},     {"BSP", "←"},
    {"BACK", "←"},   {"S+", "Σ+"},     {"SIGMA+", "Σ+"}, {"RDN", "R↓"},   {"XY", "x<>y"},
    {"X<>Y", "x<>y"}, {"*", "×"},      {"/", "÷"},       {"-", "−"},      {"RS", "R/S"},
};

constexpr Alias kAliases12[] = {
    {"YX", "y^x"},   {"Y^X", "y^x"},   {"1/X", "1/x"}, {"%t", "%T"},     {"D%", "Δ%"},
    {"S+", "Σ+"},    {"SIGMA+", "Σ+"}, {"RDN", "R↓"},  {"XY", "x<>y"},   {"X<>Y", "x<>y"},
    {"BSP", "CLx"},  {"*", "×"},       {"/", "÷"},     {"-", "−"},       {"RS", "R/S"},
};

struct KeyTable {
    const char* const* names;
    const Alias* aliases;
    size_t aliasCount;
};

bool tableFor(int model, KeyTable& table) {
    switch (model) {
    case 16: table = {kNames16, kAliases16, std::size(kAliases16)}; return true;
    case 15: table = {kNames15, kAliases15, std::size(kAliases15)}; return true;
    case 12: table = {kNames12, kAliases12, std::size(kAliases12)}; return true;
    default: return false;
    }
}

int exactCode(const KeyTable& table, const char* name) {
    for (int code = 0; code < kKeyCount; ++code)
        if (std::strcmp(table.names[code], name) == 0) return code;
    return -1;
}

} // namespace

extern "C" {

const char* tw_key_name(int model, int code) {
    KeyTable table;
    if (!tableFor(model, table) || code < 0 || code >= kKeyCount) return "?";
    return table.names[code];
}

int tw_key_code(int model, const char* name) {
    KeyTable table;
    if (!name || !tableFor(model, table)) return -1;
    int code = exactCode(table, name);
    if (code >= 0) return code;

    char upper[32];
    size_t n = 0;
    for (; name[n] && n < sizeof upper - 1; ++n) {
        char c = name[n];
        upper[n] = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    }
    upper[n] = 0;

    for (size_t i = 0; i < table.aliasCount; ++i) {
        const Alias& alias = table.aliases[i];
        if (std::strcmp(name, alias.typed) == 0 || std::strcmp(upper, alias.typed) == 0)
            return exactCode(table, alias.name);
    }
    return exactCode(table, upper);
}

} // extern "C"
