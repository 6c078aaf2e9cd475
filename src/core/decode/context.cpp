#include "core/decode/context.h"

namespace tw::decode {

namespace {

constexpr uint32_t kFamilyHp16 = 16;
constexpr uint32_t kFamilyMulti = 99;
// The multi-model firmware marks its extended HP-16C image with this word.
constexpr uint32_t kDescriptorExtendedWord = 468;
constexpr uint32_t kDescriptorExtendedValue = 348;

} // namespace

Hp16Layout hp16Layout(uint32_t family, uint32_t extendedMemory, uint32_t descriptorWord468)
{
    if (family == kFamilyHp16 && extendedMemory != 0)
        return {true, 360, 77, 176};
    if (family == kFamilyMulti && descriptorWord468 == kDescriptorExtendedValue)
        return {true, 368, 77, 176};
    return {};
}

uint64_t registerWord(const Context& c, int offset)
{
    if (offset < 0 || offset > TW_MEMORY_SIZE - 7)
        return 0;
    uint64_t word = 0;
    for (int i = 6; i >= 0; --i)
        word = (word << 8) | c.image[offset + i];
    return word;
}

Result contextOf(tw_machine* machine, Context& out)
{
    out = Context{};
    if (tw_mode(machine) < 0 || tw_memory_ptr(machine) == nullptr)
        return fail(TW_ERR_STATE, "The calculator is not running, so its memory cannot be read.");
    const uint32_t model = tw_model(machine);
    if (model == 0)
        return fail(TW_ERR_STATE, "The firmware runs no calculator model that Tarnwick knows, so its memory cannot be read.");
    out.image = tw_memory_ptr(machine);
    out.model = model;
    out.modelCode = tw_model_code(machine);
    if (model == 16) {
        const uint32_t family = tw_family(machine);
        const uint32_t word = family == kFamilyMulti
            ? tw_firmware_halfword(machine, tw_ram_word_10(machine), kDescriptorExtendedWord)
            : 0xFFFFFFFFu;
        out.layout16 = hp16Layout(family, tw_extended_memory(machine), word);
    }
    return ok();
}

Activity activityOf(tw_machine* machine)
{
    Activity a;
    a.mode = tw_mode(machine);
    a.lcdFlags = tw_lcd_flags(machine);
    a.busyTicks = tw_busy_ticks(machine);
    a.anyKeyDown = tw_any_key_down(machine);
    return a;
}

} // namespace tw::decode
