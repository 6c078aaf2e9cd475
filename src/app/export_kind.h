// What the save-file panel exports.
#pragma once

namespace tw {

enum class ExportKind { memory, notes, pdf, text };

} // namespace tw
