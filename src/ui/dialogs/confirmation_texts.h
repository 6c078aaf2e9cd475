// The texts and buttons of the pending-action dialog and of the write alert.
#pragma once

#include "app/pending_action.h"
#include "app/pending_write.h"

#include <QString>

namespace tw {

// The dialog's message for the action.
QString confirmationMessage(const PendingAction& action);

// "Write to Calculator" when the connected calculator holds the emulator's model,
// else "Write Anyway".
QString writeButtonTitle(const PendingWrite& write);

} // namespace tw
