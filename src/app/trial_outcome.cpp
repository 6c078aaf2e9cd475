#include "app/trial_outcome.h"

#include "runtime/machine/calculator_machine.h"

#include <algorithm>

namespace tw {

namespace {

constexpr int doubleMemoryVariant = 152;

QString variantText(int variant) { return QString::fromStdString(CalculatorMachine::variantLabel(variant)); }

} // namespace

std::optional<int> doubleMemoryTarget(const std::vector<int>& fitting, const QString& extension) {
    if (fitting.empty()) return std::nullopt;
    const bool namesAModel = extension == QLatin1String("12c") || extension == QLatin1String("15c") ||
                             extension == QLatin1String("16c");
    const bool agrees = !namesAModel || extension == QLatin1String("15c");
    if (agrees && std::find(fitting.begin(), fitting.end(), doubleMemoryVariant) != fitting.end())
        return doubleMemoryVariant;
    return fitting.front();
}

TrialOutcome trialOutcome(const std::vector<uint8_t>& image, const QString& source, const QString& modelName,
                          const MemoryCheck& check, const std::vector<int>& fitting, const QString& extension) {
    const QString trial = QStringLiteral("In a trial load on this firmware's ") + modelName;
    const QString hint =
        fitting.empty()
            ? QStringLiteral(" It may be from another model or firmware.")
            : QStringLiteral(" It fits the HP-") + variantText(fitting.front()) +
                  QStringLiteral(": choose that in the Model menu, then try again.");
    const QString tooManyRegisters =
        QStringLiteral("It uses more registers than the ") + modelName +
        QStringLiteral(" mode this firmware is running has (g MEM gives Error 10, and DIM (i) cannot fix it).");
    const QString needsMore =
        tooManyRegisters + QStringLiteral(" It is a memory from the HP-15C (15.2) double-memory mode.");
    const QString switchFirst =
        QStringLiteral(" Switch the model first (this clears the emulator's memory), then load it.");

    switch (check.kind) {
    case MemoryCheck::Kind::fits:
        return PendingAction::loadMemory(image, source);
    case MemoryCheck::Kind::wrongSize:
        return QStringLiteral("The memory from ") + source + QStringLiteral(" is ") + QString::number(check.bytes) +
               QStringLiteral(" bytes; a calculator memory is 2048 bytes. Nothing was loaded.");
    case MemoryCheck::Kind::changed:
        return PendingAction::loadMemoryAnyway(
            image, source,
            trial + QStringLiteral(", the calculator started but changed ") + QString::number(check.bytes) +
                QStringLiteral(" bytes of the registers / program area (it may have cleared them).") + hint);
    case MemoryCheck::Kind::rejected:
        return PendingAction::loadMemoryAnyway(
            image, source,
            trial + QStringLiteral(", the calculator showed Pr Error with it (its memory would be cleared).") + hint);
    case MemoryCheck::Kind::unreadable:
        break;
    case MemoryCheck::Kind::needsMoreMemory: {
        const std::optional<int> target = doubleMemoryTarget(fitting, extension);
        if (!target) return PendingAction::loadMemoryAnyway(image, source, needsMore);
        // The text names the model the title and the button switch to.
        if (*target == doubleMemoryVariant)
            return PendingAction::switchThenLoad(image, source, *target, needsMore + switchFirst);
        return PendingAction::switchThenLoad(
            image, source, *target,
            tooManyRegisters + QStringLiteral(" It fits the HP-") + variantText(*target) + "." + switchFirst);
    }
    }
    return PendingAction::loadMemoryAnyway(
        image, source, trial + QStringLiteral(", the calculator did not show anything after ON.") + hint);
}

} // namespace tw
