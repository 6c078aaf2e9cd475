// A write to the real calculator that waits for the user's confirmation.
#pragma once

#include <QString>
#include <QUuid>

#include <cstdint>
#include <optional>
#include <vector>

namespace tw {

struct PendingWrite {
    QUuid id = QUuid::createUuid();
    std::vector<uint8_t> memory;       // the image to write
    QString emulatorModel;             // "HP-15C"
    std::vector<int> calculatorModels; // variants the connected calculator's memory fits, firmware order
    QString backup;                    // the file the calculator's previous memory was saved to
    bool needs152 = false;             // the memory needs the HP-15C (15.2) double memory
    std::vector<uint8_t> calculatorMemory; // what the calculator held when it was backed up

    // "HP-" and the first variant's label cut at " ("; nothing without variants.
    std::optional<QString> calculatorName() const;
    QString title() const;
    QString message() const;
};

} // namespace tw

namespace tw {

// What a backup of the real calculator's memory found: where it was saved, the
// variants in which the memory fits and whether it needs the 15.2 double memory.
struct CalculatorBackup {
    QString backup;
    std::vector<int> variants;
    bool needs152 = false;
    std::vector<uint8_t> calculatorMemory; // the memory that was backed up
};

} // namespace tw
