#include "app/pending_write.h"

#include "runtime/machine/CalculatorMachine.h"

#include <QFileInfo>

namespace tw {

std::optional<QString> PendingWrite::calculatorName() const {
    if (calculatorModels.empty()) return std::nullopt;
    QString label = QString::fromStdString(CalculatorMachine::variantLabel(calculatorModels.front()));
    const qsizetype cut = label.indexOf(QStringLiteral(" ("));
    if (cut >= 0) label.truncate(cut);
    return QStringLiteral("HP-") + label;
}

QString PendingWrite::title() const {
    return QStringLiteral("Write to the ") + calculatorName().value_or(QStringLiteral("calculator")) + "?";
}

QString PendingWrite::message() const {
    QString text;
    const std::optional<QString> name = calculatorName();
    if (!name) {
        text = QStringLiteral("The connected calculator's memory does not look like a memory this firmware "
                              "knows. It gets the emulator's ") +
               emulatorModel + " memory.";
    } else if (*name == emulatorModel) {
        text = QStringLiteral("The connected ") + *name + " gets the emulator's " + emulatorModel +
               " memory (programs, registers and settings).";
    } else {
        text = QStringLiteral("The connected calculator holds an ") + *name + " memory, but the emulator runs an " +
               emulatorModel + ". The calculator will most likely show Pr Error and clear its memory.";
    }
    if (needs152)
        text += QStringLiteral(" This memory uses the HP-15C (15.2) double memory: set the calculator to 15C "
                               "(15.2) mode first (turn it off, hold g and ENTER, press ON, 4, then the key "
                               "under 15.2), or it will show Error 10.");
    const QFileInfo info(backup);
    text += QStringLiteral(" Its current memory was saved to \u201C") + info.fileName() + QStringLiteral("\u201D in ") +
            info.absolutePath() + ".";
    return text;
}

} // namespace tw
