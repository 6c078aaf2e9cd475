// The tw_ functions of the memory decoders: argument checks, the decoding context of
// the machine, then the pure decoders. A state failure carries a text for the user.
#include "core/decode/context.h"
#include "core/decode/listing.h"
#include "core/decode/pool.h"
#include "core/decode/registers.h"
#include "core/machine.h"

#include <cstring>

namespace {

using tw::decode::Context;
using tw::decode::Result;

int report(tw_machine* machine, Result result)
{
    if (result.value == TW_ERR_STATE && result.message != nullptr)
        tw::setLastError(machine, result.message);
    return result.value;
}

} // namespace

extern "C" {

int tw_memory_status(tw_machine* machine, struct tw_memory_status* record)
{
    if (machine == nullptr || record == nullptr)
        return TW_ERR_ARGUMENT;
    *record = {};
    Context context;
    if (Result r = tw::decode::contextOf(machine, context); r.value != TW_OK)
        return report(machine, r);
    return report(machine, tw::decode::memoryStatus(context, tw::decode::activityOf(machine), *record));
}

int tw_stack_register(tw_machine* machine, int index, tw_register* record)
{
    if (machine == nullptr || record == nullptr || index < 0 || index >= tw::decode::kStackIndexCount)
        return TW_ERR_ARGUMENT;
    *record = tw_register{};
    std::strncpy(record->name, tw::decode::stackRegisterName(index), sizeof record->name - 1);
    Context context;
    if (Result r = tw::decode::contextOf(machine, context); r.value != TW_OK)
        return report(machine, r);
    return report(machine, tw::decode::stackRegister(context, index, *record));
}

int tw_storage_register(tw_machine* machine, int number, tw_register* record)
{
    if (machine == nullptr || record == nullptr || number < 0)
        return TW_ERR_ARGUMENT;
    Context context;
    if (Result r = tw::decode::contextOf(machine, context); r.value != TW_OK)
        return report(machine, r);
    return report(machine, tw::decode::storageRegister(context, number, *record));
}

int tw_program_lines(tw_machine* machine, int firstLine, tw_prog_line* out, int count)
{
    if (machine == nullptr || count < 0 || firstLine < 1 || (out == nullptr && count > 0))
        return TW_ERR_ARGUMENT;
    Context context;
    if (Result r = tw::decode::contextOf(machine, context); r.value != TW_OK)
        return report(machine, r);
    return report(machine, tw::decode::programLines(context, firstLine, out, count));
}

int tw_pool_status(tw_machine* machine, tw_pool* record)
{
    if (machine == nullptr || record == nullptr)
        return TW_ERR_ARGUMENT;
    *record = tw_pool{};
    Context context;
    if (Result r = tw::decode::contextOf(machine, context); r.value != TW_OK)
        return report(machine, r);
    return report(machine, tw::decode::poolStatus(context, *record));
}

int tw_imaginary_register(tw_machine* machine, int index, tw_register* record)
{
    if (machine == nullptr || record == nullptr || index < 0 || index >= tw::decode::kImaginaryCount)
        return TW_ERR_ARGUMENT;
    Context context;
    if (Result r = tw::decode::contextOf(machine, context); r.value != TW_OK)
        return report(machine, r);
    return report(machine, tw::decode::imaginaryRegister(context, index, *record));
}

int tw_matrix_element(tw_machine* machine, int matrix, int row, int column, tw_register* record)
{
    if (machine == nullptr || record == nullptr || matrix < 0 || matrix >= tw::decode::kMatrixCount || row < 1 ||
        column < 1)
        return TW_ERR_ARGUMENT;
    Context context;
    if (Result r = tw::decode::contextOf(machine, context); r.value != TW_OK)
        return report(machine, r);
    return report(machine, tw::decode::matrixElement(context, matrix, row, column, *record));
}

} // extern "C"
