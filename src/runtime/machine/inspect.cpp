// Building the inspection snapshot from the core's decoders.
#include "runtime/machine/calculator_machine.h"

#include "core/tw.h"

#include <algorithm>

namespace tw {

namespace {

std::optional<RegisterValue> readRegister(int status, const tw_register& record) {
    if (status != 0) return std::nullopt;
    return RegisterValue::fromRecord(record);
}

} // namespace

std::optional<InspectorSnapshot> CalculatorMachine::inspect(bool includeProgram, int registerLimit) {
    tw_machine* h = calc_.handle();
    struct tw_memory_status status{};
    if (tw_memory_status(h, &status) != 0 || status.model == 0) return std::nullopt;
    InspectorSnapshot s = InspectorSnapshot::fromStatus(status);

    for (int index : InspectorSnapshot::stackIndices(s.model, s.hasI)) {
        tw_register record{};
        if (auto v = readRegister(tw_stack_register(h, index, &record), record)) s.stack.push_back(std::move(*v));
    }
    const int count = std::min(registerLimit, s.registerCount);
    for (int n = 0; n < count; ++n) {
        tw_register record{};
        if (auto v = readRegister(tw_storage_register(h, n, &record), record)) s.registers.push_back(std::move(*v));
    }

    if (s.model == 15) {
        tw_pool pool{};
        if (tw_pool_status(h, &pool) == 0) {
            s.pool = Pool15::fromRecord(pool);
            if (s.pool->complex) {
                for (int i = 0; i < 5; ++i) {
                    tw_register record{};
                    if (auto v = readRegister(tw_imaginary_register(h, i, &record), record))
                        s.imaginary.push_back(std::move(*v));
                }
            }
            s.matrices = MatrixValue::allOf(*s.pool, [h](int m, int row, int col) {
                tw_register record{};
                return readRegister(tw_matrix_element(h, m, row, col, &record), record);
            });
        }
    }

    if (includeProgram && s.hasProgram && s.lines > 0) {
        std::vector<tw_prog_line> lines(size_t(s.lines));
        const int n = tw_program_lines(h, 1, lines.data(), s.lines);
        for (int i = 0; i < n; ++i) s.program.push_back(ProgramLine::fromRecord(lines[size_t(i)]));
    }
    return s;
}

} // namespace tw
