// One register as a row of the registers panel: its name, its value in the
// form that suits it, a tooltip, copy items and the change flash key.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/snapshot/register_value.h"

namespace tw {

struct RegisterRow {
    RegisterValue value;
    int base = 10;
    std::optional<RegisterValue> imaginary;
    std::optional<std::string> descriptor;

    bool operator==(const RegisterRow&) const = default;

    // Descriptor, complex form, binary grouped by fours, or the text.
    QString shownText() const;
    // "b", "o", "h" or "d" for an integer value; empty otherwise.
    QString baseLetter() const;
    // The decimal form under an integer value that is not shown in base 10.
    QString decimalLine() const;
    bool hasDecimalLine() const { return value.isInteger && base != 10; }
    QString helpText() const;
    std::uint64_t changeKey() const;
    // Name, value, base letter and decimal line in one text.
    QString accessibleText() const;

    struct CopyItem {
        QString label;
        QString text;
    };
    // The context menu: "Copy <text>" and, for an integer, "Copy decimal <decimal>".
    std::vector<CopyItem> copyItems() const;
};

// Groups of four characters from the right, separated by spaces.
QString groupedByFour(const QString& text);

} // namespace tw
