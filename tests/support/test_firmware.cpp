#include "support/test_firmware.h"

#include <fstream>
#include <iterator>
#include <mutex>
#include <string>

#ifndef TW_FIRMWARE_DIR
#define TW_FIRMWARE_DIR ""
#endif

namespace tw::test {

namespace {

const char* fileName(Firmware which) {
    switch (which) {
    case Firmware::Hp15c: return "fw_15c.bin";
    case Firmware::Hp16c: return "fw_16c.bin";
    case Firmware::Hp16cExtended: return "fw_16c_ext.bin";
    case Firmware::Multi: return "fw_multi.bin";
    }
    return "";
}

std::vector<uint8_t> readImage(Firmware which) {
    const std::string dir = TW_FIRMWARE_DIR;
    if (dir.empty()) return {};
    std::ifstream in(dir + "/" + fileName(which), std::ios::binary);
    if (!in) return {};
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void windowHex(const std::vector<uint8_t>& bytes, size_t offset, char hex[65]) {
    hex[0] = 0;
    if (offset + 16 <= bytes.size()) tw_sha256_hex(bytes.data() + offset, 16, hex);
}

} // namespace

const std::vector<uint8_t>& firmwareBytes(Firmware which) {
    static const std::vector<uint8_t> images[] = {readImage(Firmware::Hp15c), readImage(Firmware::Hp16c),
                                                  readImage(Firmware::Hp16cExtended), readImage(Firmware::Multi)};
    return images[static_cast<int>(which)];
}

bool firmwareBuilt() {
    for (Firmware which : {Firmware::Hp15c, Firmware::Hp16c, Firmware::Hp16cExtended, Firmware::Multi})
        if (firmwareBytes(which).empty()) return false;
    return true;
}

void useTestFingerprints() {
    static tw_fingerprints table{};
    static std::once_flag once;
    std::call_once(once, [] {
        const std::vector<uint8_t>& hp16c = firmwareBytes(Firmware::Hp16c);
        for (int i = 0; i < 3; ++i) windowHex(hp16c, kLayoutOffsets[i], table.layout[i]);
        windowHex(hp16c, kAnchorOffset16c, table.anchor);
    });
    tw_test_use_fingerprints(&table);
}

MachinePtr loadedMachine(Firmware which) {
    const std::vector<uint8_t>& bytes = firmwareBytes(which);
    if (bytes.empty()) return nullptr;
    useTestFingerprints();
    MachinePtr m(tw_create());
    if (!m || tw_load_firmware(m.get(), bytes.data(), bytes.size()) != TW_OK) return nullptr;
    return m;
}

MachinePtr startedMachine(Firmware which, int mode, int pressOn) {
    MachinePtr m = loadedMachine(which);
    if (!m || tw_start(m.get(), mode, pressOn) != TW_OK) return nullptr;
    return m;
}

} // namespace tw::test
