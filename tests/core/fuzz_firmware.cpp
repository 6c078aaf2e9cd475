// Fuzzes firmware loading, the model-image scan and the running-model refresh.
//
// The first byte picks how the input becomes a file: as it stands (size and
// vector-table checks), or as patches over a synthetic image of a chosen family
// and size, so that identified images and their descriptors are reached too.
#include "core/machine.h"
#include "core/synthetic_firmware.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint32_t word(int bytes) {
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= uint32_t(byte()) << (8 * i);
        return v;
    }
    const uint8_t* rest() const { return data_ + pos_; }
    size_t restSize() const { return pos_ < size_ ? size_ - pos_ : 0; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

std::vector<uint8_t> baseImage(uint8_t kind, size_t size) {
    switch (kind % 5) {
    case 0: return tw::test::hp16cImage(false, size);
    case 1: return tw::test::hp16cImage(true, size);
    case 2: return tw::test::multiModelImage(size);
    case 3: return tw::test::hp15cImage(size);
    default: return tw::test::blankImage(size);
    }
}

// Sizes around and between the limits, the descriptors' and anchors' offsets all fit.
std::vector<uint8_t> patchedImage(Input& in) {
    const uint8_t kind = in.byte();
    const size_t span = tw::test::kLargestFirmware - tw::test::kSmallestFirmware + 8;
    const size_t size = tw::test::kSmallestFirmware - 4 + in.word(3) % span;
    auto image = size >= tw::test::kSmallestFirmware ? baseImage(kind, size) : std::vector<uint8_t>(size);
    image.resize(size);
    while (!in.empty()) {
        const uint8_t what = in.byte();
        const size_t offset = in.word(3) % size;
        if (what & 1) {
            const uint16_t descriptorKind = (what & 2) ? uint16_t(in.word(2)) : (what & 4 ? 271 : 255);
            if (offset + 12 <= size) tw::test::putDescriptor(image, offset & ~size_t(1), descriptorKind);
        } else {
            const size_t length = in.byte() % 17;
            for (size_t i = 0; i < length && offset + i < size; ++i) image[offset + i] = in.byte();
        }
    }
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const tw::test::FingerprintScope fingerprints;
    Input in(data, size);
    tw_machine* m = tw_create();
    if (!m) return 0;
    const uint8_t mode = in.byte();
    const uint32_t running = in.word(4);
    const uint32_t halfwordAddress = in.word(4);
    const uint32_t halfwordIndex = in.word(4);
    const int count = int8_t(in.byte());

    if (mode & 1) {
        auto image = patchedImage(in);
        tw_load_firmware(m, image.data(), image.size());
    } else {
        tw_load_firmware(m, in.rest(), in.restSize());
    }

    std::vector<uint32_t> out(count > 0 ? size_t(count) : 0);
    tw_firmware_models(m, out.empty() ? nullptr : out.data(), count);
    tw_model_code(m);
    tw_firmware_halfword(m, halfwordAddress, halfwordIndex);

    // As if started in the whole-calculator mode with a running image chosen by the input.
    tw_cpu* cpu = tw_machine_cpu(m);
    cpu->bus.ram = m->ram.get();
    cpu->bus.ramSize = tw_machine::kRamCapacity;
    m->mode = 1;
    tw_bus_write_quiet(cpu, 0x20000010, 4, (mode & 2) ? 0x4000 + running % 0x40000 : running);
    tw_model_code(m);
    tw_model(m);
    tw_destroy(m);
    return 0;
}
