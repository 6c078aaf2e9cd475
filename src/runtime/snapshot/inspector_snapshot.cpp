#include "runtime/snapshot/inspector_snapshot.h"

#include <algorithm>
#include <array>

#include "runtime/snapshot/number_text.h"

namespace tw {

namespace {

constexpr int kComplexFlag = 8;
constexpr std::array<std::string_view, 5> kImaginaryNames = {"X", "Y", "Z", "T", "LAST X"};

} // namespace

std::string baseName(int base) {
    switch (base) {
    case 0: return "FLOAT";
    case 2: return "BIN";
    case 8: return "OCT";
    case 16: return "HEX";
    default: return "DEC";
    }
}

std::string complementName(int complement) {
    switch (std::clamp(complement, 0, 2)) {
    case 0: return "UNSGN";
    case 1: return "1's";
    default: return "2's";
    }
}

InspectorSnapshot InspectorSnapshot::fromStatus(const struct tw_memory_status& status) {
    InspectorSnapshot s;
    s.model = static_cast<int>(status.model);
    s.variant = static_cast<int>(status.modelCode);
    s.base = static_cast<int>(status.base);
    s.wordSize = static_cast<int>(status.wordSize);
    s.complement = static_cast<int>(status.complement);
    s.flags = status.flags;
    s.programMode = status.programMode != 0;
    s.running = status.running != 0;
    s.line = static_cast<int>(status.line);
    s.lines = static_cast<int>(status.lines);
    s.registerCount = static_cast<int>(status.registerCount);
    s.hasI = status.hasI != 0;
    s.hasProgram = status.hasProgram != 0;
    s.extendedMemory = status.extendedMemory != 0;
    return s;
}

std::vector<int> InspectorSnapshot::stackIndices(int model, bool hasI) {
    // The HP-12C's X, Y, Z, T, LAST X, n, i, PV, PMT, FV.
    if (model == 12) return {0, 1, 2, 3, 4, 6, 7, 8, 9, 10};
    std::vector<int> indices = {0, 1, 2, 3, 4};
    if (hasI) indices.push_back(5);
    return indices;
}

std::vector<int> InspectorSnapshot::setFlags() const {
    std::vector<int> set;
    for (int flag = 0; flag <= 9; ++flag) {
        if (flags & (1u << flag)) set.push_back(flag);
    }
    return set;
}

std::optional<std::string> InspectorSnapshot::modeText() const {
    if (model != 16) return std::nullopt;
    if (base == 0) return std::string("FLOAT");
    return baseName() + "  WSIZE " + decimalText(wordSize) + "  " + complementName();
}

std::string InspectorSnapshot::baseName() const {
    return tw::baseName(base);
}

std::string InspectorSnapshot::complementName() const {
    return tw::complementName(complement);
}

bool InspectorSnapshot::isComplexMode() const {
    return model == 15 && (flags & (1u << kComplexFlag)) != 0;
}

std::optional<std::string> InspectorSnapshot::matrixDescriptorText(const RegisterValue& value) const {
    if (model != 15 || value.isInteger || !value.hasMatrixDescriptor()) return std::nullopt;
    const int index = value.descriptorMatrixIndex();
    std::string text = "matrix " + matrixLetter(index);
    if (pool) text += " (" + pool->dimensionText(index) + ")";
    return text;
}

std::optional<RegisterValue> InspectorSnapshot::imaginaryValue(std::string_view name) const {
    if (!isComplexMode()) return std::nullopt;
    const auto found = std::find(kImaginaryNames.begin(), kImaginaryNames.end(), name);
    if (found == kImaginaryNames.end()) return std::nullopt;
    const auto position = static_cast<std::size_t>(found - kImaginaryNames.begin());
    if (position >= imaginary.size()) return std::nullopt;
    return imaginary[position];
}

} // namespace tw
