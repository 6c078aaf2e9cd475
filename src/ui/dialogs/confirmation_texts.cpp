#include "ui/dialogs/confirmation_texts.h"

namespace tw {

QString confirmationMessage(const PendingAction& action) {
    if (action.as<PendingAction::SwitchModel>())
        return QStringLiteral("Switching model clears the calculator's memory (programs, registers and settings), as "
                              "on the calculator. You can save a backup first.");
    if (const auto* load = action.as<PendingAction::LoadMemory>())
        return QStringLiteral("This replaces the emulator's memory (programs, registers and settings) with the one "
                              "from ") +
               load->source + QStringLiteral(". You can save a backup of the emulator's memory first.");
    if (const auto* anyway = action.as<PendingAction::LoadMemoryAnyway>())
        return anyway->reason + QStringLiteral(" You can load it anyway; save a backup of the emulator's memory first "
                                               "if you want to keep it.");
    if (const auto* switchThenLoad = action.as<PendingAction::SwitchThenLoad>()) return switchThenLoad->reason;
    return QStringLiteral("ON + − clears all programs, registers and settings (Pr Error). You can save a backup "
                          "first.");
}

QString writeButtonTitle(const PendingWrite& write) {
    const auto name = write.calculatorName();
    return name && *name == write.emulatorModel ? QStringLiteral("Write to Calculator")
                                                : QStringLiteral("Write Anyway");
}

} // namespace tw
