// What a loaded firmware is: its family and description, the model images that
// a multi-model firmware holds, and which of them runs now.
#include "core/bits.h"
#include "core/machine.h"
#include "core/memory_map.h"

#include <cstring>

namespace {

using tw::kFirmwareBase;
constexpr uint32_t kRunningDescriptor = 0x20000010u; // RAM word: address of the running image's descriptor

// Bytes 2 to 9 of a model-image descriptor; the kind word follows at +10.
constexpr uint8_t kDescriptorSignature[8] = {0x4E, 0x00, 0x70, 0x02, 0x38, 0x02, 0xEE, 0x02};
constexpr size_t kSignatureOffset = 2;
constexpr size_t kKindOffset = 10;
constexpr size_t kDescriptorSize = 12;
// A 15C image in its double-memory (15.2) mode holds 64 in both of these words.
constexpr size_t kDoubleMemoryMarks[2] = {1708, 6098};

constexpr uint32_t kKindHP12C = 335;
constexpr uint32_t kKindHP15C = 271;
constexpr uint32_t kKindHP16C = 255;

constexpr uint32_t kModelCodes[4] = {120, 150, 152, 160};

// The little-endian halfword at a file offset, or -1 when it does not lie wholly in the file.
int32_t fileHalfword(const tw_machine* m, uint64_t offset) {
    if (!m->firmware || offset > m->firmwareSize || m->firmwareSize - offset < 2) return -1;
    const uint8_t* p = m->firmware.get() + offset;
    return int32_t(tw::loadLE16(p));
}

// The model code of the descriptor at a file offset: 120, 150, 152, 160, or 0.
uint32_t descriptorCode(const tw_machine* m, uint64_t offset) {
    switch (fileHalfword(m, offset + kKindOffset)) {
    case kKindHP12C: return 120;
    case kKindHP16C: return 160;
    case kKindHP15C:
        return fileHalfword(m, offset + kDoubleMemoryMarks[0]) == 64 &&
                       fileHalfword(m, offset + kDoubleMemoryMarks[1]) == 64
                   ? 152
                   : 150;
    default: return 0;
    }
}

// In the whole-calculator mode the firmware tells which image runs.
void refreshRunningModel(tw_machine* m) {
    if (m->mode != TW_MODE_CALCULATOR) return;
    uint32_t address = 0;
    if (tw_bus_read_quiet(&m->cpu, kRunningDescriptor, 4, &address) != 0 || address < kFirmwareBase) return;
    const uint32_t code = descriptorCode(m, uint64_t(address) - kFirmwareBase);
    if (code == 0) return;
    m->model = code / 10; // 152 is a 15C too
    m->modelCode = code;
}

} // namespace

extern "C" {

uint32_t tw_family(tw_machine* machine) { return machine ? machine->family : 0; }

uint32_t tw_model(tw_machine* machine) {
    if (!machine) return 0;
    refreshRunningModel(machine);
    return machine->model;
}

uint32_t tw_model_code(tw_machine* machine) {
    if (!machine) return 0;
    refreshRunningModel(machine);
    return machine->modelCode ? machine->modelCode : machine->model * 10;
}

const char* tw_firmware_description(tw_machine* machine) { return machine ? machine->description : ""; }

uint32_t tw_extended_memory(tw_machine* machine) { return machine ? machine->extendedMemory : 0; }

int tw_firmware_models(tw_machine* machine, uint32_t* out, int count) {
    if (!machine || count < 0 || (!out && count > 0)) return TW_ERR_ARGUMENT;
    if (!machine->firmware || machine->family == TW_FAMILY_NONE) return TW_ERR_STATE;
    const uint8_t* file = machine->firmware.get();
    const uint64_t size = machine->firmwareSize;

    bool present[4] = {};
    for (uint64_t o = 0; o + kDescriptorSize <= size; o += 2) {
        if (file[o + kSignatureOffset] != kDescriptorSignature[0] ||
            std::memcmp(file + o + kSignatureOffset, kDescriptorSignature, sizeof kDescriptorSignature) != 0)
            continue;
        const uint32_t code = descriptorCode(machine, o);
        for (int i = 0; i < 4; ++i)
            if (kModelCodes[i] == code) present[i] = true;
    }
    int found = 0;
    for (int i = 0; i < 4; ++i) {
        if (!present[i]) continue;
        if (found < count) out[found] = kModelCodes[i];
        ++found;
    }
    return found;
}

uint32_t tw_firmware_halfword(tw_machine* machine, uint32_t address, uint32_t index) {
    if (!machine || address < kFirmwareBase) return 0xFFFFFFFFu;
    // Sixty-four-bit arithmetic: a large index must not wrap back into the file.
    const int32_t halfword = fileHalfword(machine, uint64_t(address - kFirmwareBase) + 2 * uint64_t(index));
    return halfword < 0 ? 0xFFFFFFFFu : uint32_t(halfword);
}

} // extern "C"
