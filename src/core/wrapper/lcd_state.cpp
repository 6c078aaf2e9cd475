#include "core/wrapper/lcd_state.h"

#include "core/wrapper/utf8_text.h"
#include "core/tw.h"

namespace tw {

const LCDState& LCDState::blank() {
    static const LCDState value;
    return value;
}

LCDState LCDState::fromRecord(const struct tw_lcd& record, std::string_view textBytes) {
    LCDState state;
    for (size_t i = 0; i < 10; ++i) {
        state.segments[i] = record.segments[i];
        state.dots[i] = record.dots[i] != 0;
        state.commas[i] = record.commas[i] != 0;
    }
    state.minus = record.minus != 0;
    state.annunciatorBits = record.annunciators;
    state.text = utf8Repaired(textBytes.substr(0, textBytes.find('\0')));
    return state;
}

} // namespace tw
