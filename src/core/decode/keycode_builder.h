// Compile-time building of the key-code tables from runs that read like the manual's
// listing: one row, a run of rows whose operand varies, or a run over an operand set.
// A text too long for its field, or a table whose rows are not each given exactly
// once, stops the build.
#pragma once

#include "core/decode/keycodes.h"

#include <cstddef>
#include <initializer_list>
#include <span>
#include <stdexcept>

namespace tw::decode::build {

// The HP-15C operand sets of 16: operands and the keys that enter them.
enum class OperandSet { None, A, B, C };

struct OperandList {
    const char* operands;
    const char* keys;
};

constexpr OperandList operandSet(OperandSet set)
{
    switch (set) {
    case OperandSet::A: return {"0 1 2 3 4 5 6 7 8 9 A B C D E MATRIX", "0 1 2 3 4 5 6 7 8 9 11 12 13 14 15 16"};
    case OperandSet::B: return {".0 .1 .2 .3 .4 .5 .6 .7 .8 .9 SST GTO SIN (i) I RESULT", ".0 .1 .2 .3 .4 .5 .6 .7 .8 .9 21 22 23 24 25 26"};
    case OperandSet::C: return {"0 1 2 3 4 5 6 7 8 9 SST GTO SIN (i) I RESULT", "0 1 2 3 4 5 6 7 8 9 21 22 23 24 25 26"};
    default: return {"", ""};
    }
}

struct Run {
    uint8_t first = 0;
    uint8_t last = 0;
    const char* keys = "";     // the row's keys, or the head the operand's keys follow
    const char* mnemonic = ""; // the row's mnemonic, or the head the operand follows
    char prefix = 0;
    const char* operands = nullptr;    // blank-separated; null for a single row
    const char* operandKeys = nullptr; // the operands' key forms where they differ
    OperandSet set = OperandSet::None; // set runs join heads and operands by rule

    constexpr Run() = default;
    // One row.
    constexpr Run(int code, int, const char* k, const char* m, char p)
        : first(static_cast<uint8_t>(code)), last(static_cast<uint8_t>(code)), keys(k), mnemonic(m), prefix(p) {}
    // Rows whose texts are the heads followed directly by each operand.
    constexpr Run(int a, int b, const char* k, const char* m, char p, const char* ops, const char* opKeys = nullptr)
        : first(static_cast<uint8_t>(a)), last(static_cast<uint8_t>(b)), keys(k), mnemonic(m), prefix(p), operands(ops),
          operandKeys(opKeys) {}
    // Sixteen rows over an operand set.
    constexpr Run(int a, int b, const char* k, const char* m, char p, OperandSet s)
        : first(static_cast<uint8_t>(a)), last(static_cast<uint8_t>(b)), keys(k), mnemonic(m), prefix(p), set(s) {}
};

constexpr size_t length(const char* s)
{
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

template <size_t N>
constexpr void append(char (&field)[N], const char* text, size_t count)
{
    size_t at = length(field);
    if (at + count >= N)
        throw std::length_error("key-code text longer than its field");
    for (size_t i = 0; i < count; ++i)
        field[at + i] = text[i];
    field[at + count] = 0;
}

template <size_t N>
constexpr void append(char (&field)[N], const char* text) { append(field, text, length(text)); }

// The word at a position of a blank-separated list: its start and length.
struct Word {
    const char* text;
    size_t size;
};

constexpr Word wordAt(const char* list, int index)
{
    const char* p = list;
    for (int i = 0; i < index; ++i) {
        while (*p && *p != ' ')
            ++p;
        if (!*p)
            throw std::out_of_range("too few operands for the run");
        ++p;
    }
    size_t n = 0;
    while (p[n] && p[n] != ' ')
        ++n;
    return {p, n};
}

constexpr int wordCount(const char* list)
{
    if (!*list)
        return 0;
    int n = 1;
    for (const char* p = list; *p; ++p)
        n += *p == ' ';
    return n;
}

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The key text of an operation over a set operand: after a head ending in a comma a
// digit or decimal-point operand takes a blank and a two-digit key code follows
// directly; after any other head every operand takes a blank.
constexpr void appendSetKeys(KeyRow& row, const char* head, Word keys)
{
    append(row.keys, head);
    const size_t n = length(head);
    const bool comma = n > 0 && head[n - 1] == ',';
    const bool single = keys.size == 1 && isDigit(keys.text[0]);
    const bool point = keys.size > 0 && keys.text[0] == '.';
    if (!comma || single || point)
        append(row.keys, " ");
    append(row.keys, keys.text, keys.size);
}

constexpr KeyRow rowOf(const Run& run, int position)
{
    KeyRow row{};
    row.prefix = run.prefix;
    if (run.set != OperandSet::None) {
        const OperandList list = operandSet(run.set);
        const Word operand = wordAt(list.operands, position);
        appendSetKeys(row, run.keys, wordAt(list.keys, position));
        append(row.mnemonic, run.mnemonic);
        append(row.mnemonic, " ");
        append(row.mnemonic, operand.text, operand.size);
        return row;
    }
    append(row.keys, run.keys);
    append(row.mnemonic, run.mnemonic);
    if (run.operands) {
        const Word operand = wordAt(run.operands, position);
        const Word keys = run.operandKeys && *run.operandKeys ? wordAt(run.operandKeys, position) : operand;
        append(row.keys, keys.text, keys.size);
        append(row.mnemonic, operand.text, operand.size);
    }
    return row;
}

constexpr int runSize(const Run& run)
{
    const int size = run.last - run.first + 1;
    if (size < 1)
        throw std::logic_error("run ends before it begins");
    if (run.set != OperandSet::None && size != 16)
        throw std::logic_error("an operand-set run has sixteen rows");
    if (run.operands) {
        if (wordCount(run.operands) != size)
            throw std::logic_error("operand count differs from the run's rows");
        if (run.operandKeys && *run.operandKeys && wordCount(run.operandKeys) != size)
            throw std::logic_error("operand key count differs from the run's rows");
    } else if (run.set == OperandSet::None && size != 1) {
        throw std::logic_error("a run of several rows needs operands");
    }
    return size;
}

// Writes the runs over a table. With `complete`, every row must be given exactly
// once; otherwise the runs replace rows of a table already filled.
constexpr void apply(KeyTable& table, std::span<const Run> runs, bool complete)
{
    std::array<int, 256> given{};
    for (const Run& run : runs) {
        const int size = runSize(run);
        for (int i = 0; i < size; ++i) {
            table[run.first + i] = rowOf(run, i);
            ++given[run.first + i];
        }
    }
    for (int count : given)
        if (count > 1 || (complete && count != 1))
            throw std::logic_error("a row is given twice, or not at all");
}

constexpr KeyTable tableOf(std::span<const Run> runs)
{
    KeyTable table{};
    apply(table, runs, true);
    return table;
}

// A table whose runs are kept in several lists (rows that two tables share).
constexpr KeyTable tableOf(std::initializer_list<std::span<const Run>> lists)
{
    std::array<Run, 256> runs{};
    size_t count = 0;
    for (std::span<const Run> list : lists)
        for (const Run& run : list) {
            if (count == runs.size())
                throw std::length_error("too many runs");
            runs[count++] = run;
        }
    return tableOf(std::span<const Run>(runs.data(), count));
}

} // namespace tw::decode::build
