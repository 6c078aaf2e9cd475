#include "runtime/snapshot/register_value.h"

#include "runtime/snapshot/utf8.h"

namespace tw {

RegisterValue RegisterValue::fromRecord(const tw_register& record) {
    RegisterValue value;
    value.name = recordText(record.name);
    value.text = recordText(record.text);
    value.decimal = recordText(record.decimal);
    value.isInteger = record.kind == TW_REGISTER_INTEGER;
    value.isNegative = record.isNegative != 0;
    value.number = record.number;
    value.word = record.word;
    value.raw = record.raw;
    return value;
}

bool RegisterValue::hasMatrixDescriptor() const {
    const std::uint64_t k = (raw >> 48) & 0xF;
    const std::uint64_t marker = (raw >> 52) & 0xF;
    const std::uint64_t low = raw & 0xFFFFFFFFFFFFull;
    return marker == 1 && low == 0 && k >= 10 && k <= 14;
}

int RegisterValue::descriptorMatrixIndex() const {
    if (!hasMatrixDescriptor()) return 0;
    return static_cast<int>((raw >> 48) & 0xF) - 10;
}

} // namespace tw
