// Key names typed by a user, and LCD records of any content, turned into texts.
#include "core/tw.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    for (int model : {12, 15, 16}) {
        int code = tw_key_code(model, name.c_str());
        if (code < -1 || code > 39) __builtin_trap();
    }
    struct tw_lcd record{};
    std::memcpy(&record, data, size < sizeof record ? size : sizeof record);
    char text[24];
    for (size_t bufferSize = 2; bufferSize <= sizeof text; ++bufferSize)
        if (tw_lcd_text(&record, text, bufferSize) != TW_OK || std::strlen(text) >= bufferSize) __builtin_trap();
    return 0;
}
