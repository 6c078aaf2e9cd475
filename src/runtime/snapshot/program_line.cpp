#include "runtime/snapshot/program_line.h"

#include <algorithm>

#include "runtime/snapshot/number_text.h"
#include "runtime/snapshot/utf8.h"

namespace tw {

ProgramLine ProgramLine::fromRecord(const tw_prog_line& record) {
    ProgramLine line;
    line.line = record.line;
    line.keys = recordText(record.keys);
    line.mnemonic = recordText(record.mnemonic);
    if (record.prefix != 0) line.prefix = repairUtf8(std::string(1, static_cast<char>(record.prefix)));
    const int count = std::min<int>(record.len, 2);
    line.bytes.assign(record.code, record.code + count);
    return line;
}

std::string ProgramLine::lineText() const {
    return zeroPadded(line, 3);
}

std::string ProgramLine::mnemonicWithPrefix() const {
    return prefix.empty() ? mnemonic : prefix + " " + mnemonic;
}

} // namespace tw
