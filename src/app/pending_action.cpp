#include "app/pending_action.h"

#include "app/overloaded.h"
#include "runtime/machine/calculator_machine.h"

namespace tw {

namespace {

QString variantName(int variant) { return QString::fromStdString(CalculatorMachine::variantLabel(variant)); }

} // namespace

QString PendingAction::id() const {
    return std::visit(Overloaded{
                          [](const SwitchModel& a) { return QStringLiteral("switch%1").arg(a.variant); },
                          [](const LoadMemory& a) { return QStringLiteral("load ") + a.source; },
                          [](const LoadMemoryAnyway& a) { return QStringLiteral("load anyway ") + a.source; },
                          [](const SwitchThenLoad& a) {
                              return QStringLiteral("switch %1 load ").arg(a.variant) + a.source;
                          },
                          [](const MemoryReset&) { return QStringLiteral("reset"); },
                      },
                      value);
}

QString PendingAction::title() const {
    return std::visit(
        Overloaded{
            [](const SwitchModel& a) { return QStringLiteral("Switch to the ") + variantName(a.variant) + "?"; },
            [](const LoadMemory& a) { return QStringLiteral("Load the memory from ") + a.source + "?"; },
            [](const LoadMemoryAnyway& a) {
                return QStringLiteral("The memory from ") + a.source + " may not fit";
            },
            [](const SwitchThenLoad& a) {
                return QStringLiteral("The memory from ") + a.source + " is for the HP-" + variantName(a.variant);
            },
            [](const MemoryReset&) { return QStringLiteral("Reset the calculator's memory?"); },
        },
        value);
}

QString PendingAction::confirmButton() const {
    return std::visit(Overloaded{
                          [](const SwitchModel&) { return QStringLiteral("Switch Model"); },
                          [](const LoadMemory&) { return QStringLiteral("Load Memory"); },
                          [](const LoadMemoryAnyway&) { return QStringLiteral("Load Anyway"); },
                          [](const SwitchThenLoad& a) {
                              return QStringLiteral("Switch to ") + variantName(a.variant) + " and Load";
                          },
                          [](const MemoryReset&) { return QStringLiteral("Reset Memory"); },
                      },
                      value);
}

} // namespace tw
