// The documentation fonts found: the key font, the display font and where they came from.
#pragma once

#include "docexport/true_type_font.h"

#include <QString>

#include <optional>

namespace tw {

struct DocFonts {
    std::optional<TrueTypeFont> keys;
    std::optional<TrueTypeFont> display;
    QString source; // the key font's file, else the display font's; empty when neither
};

} // namespace tw
