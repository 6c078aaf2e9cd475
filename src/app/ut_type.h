// The content types the file panels offer and write.
#pragma once

namespace tw {

enum class UTType { memory16c, memory15c, memory12c, programdoc, pdf, plainText, json, data };

} // namespace tw
