#include "runtime/snapshot/pool15.h"

#include <algorithm>

#include "runtime/snapshot/number_text.h"
#include "runtime/snapshot/utf8.h"

namespace tw {

std::string matrixLetter(int index) {
    return std::string(1, static_cast<char>('A' + std::clamp(index, 0, 4)));
}

std::string Pool15::Kind::shortLabel() const {
    switch (kind) {
    case Case::matrix: return "matrix " + matrixLetter(matrix);
    case Case::workspace: return "SOLVE/∫ workspace";
    case Case::free: return "free";
    case Case::complex: return "complex (imaginary stack)";
    case Case::storage: return "R2…";
    case Case::program: return "program";
    }
    return {};
}

std::string Pool15::Segment::label() const {
    if (kind.kind != Kind::Case::storage) return kind.shortLabel();
    if (count == 0) return {};
    return "R2–R" + decimalText(count + 1);
}

Pool15 Pool15::fromRecord(const tw_pool& record) {
    Pool15 p;
    p.variant = record.variant;
    p.base = record.base;
    p.top = record.top;
    p.data = record.data;
    p.pool = record.pool;
    for (std::size_t m = 0; m < 5; ++m) {
        p.starts[m] = record.starts[m];
        p.rows[m] = record.rows[m];
        p.cols[m] = record.cols[m];
    }
    p.result = record.result;
    p.complex = record.complex != 0;
    p.scratch = record.scratch;
    p.gap = record.gap;
    p.storage = record.storage;
    p.dimI = record.dimI;
    p.matrixRegisters = record.matrixRegisters;
    p.programLow = record.programLow;
    p.programRegisters = record.programRegisters;
    p.programBytes = record.programBytes;
    p.free = record.free;
    p.gmem = recordText(record.gmem);
    return p;
}

std::vector<Pool15::Segment> Pool15::segments() const {
    std::vector<Segment> list;
    const auto add = [&](Kind kind, int first, int count) {
        if (count > 0) list.push_back(Segment{kind, first, count});
    };
    add(Kind::of(Kind::Case::workspace), base, scratch);
    const int freeStart = scratch > 0 ? base + scratch : base;
    add(Kind::of(Kind::Case::free), freeStart, gap);
    if (complex) add(Kind::of(Kind::Case::complex), freeStart + gap, 5);
    add(Kind::of(Kind::Case::storage), data, storage);
    for (int m = 0; m < 5; ++m) {
        const auto i = static_cast<std::size_t>(m);
        add(Kind::ofMatrix(m), starts[i], rows[i] * cols[i]);
    }
    add(Kind::of(Kind::Case::free), pool, programLow - pool);
    add(Kind::of(Kind::Case::program), programLow, programRegisters);
    return list;
}

std::string Pool15::summary() const {
    return "g MEM " + gmem + "  ·  pool " + decimalText(registerCount()) + " registers + R0, R1";
}

std::string Pool15::dimensionText(int index) const {
    const auto i = static_cast<std::size_t>(std::clamp(index, 0, 4));
    return decimalText(rows[i]) + "×" + decimalText(cols[i]);
}

std::string Pool15::resultLetter() const {
    return matrixLetter(result);
}

} // namespace tw
