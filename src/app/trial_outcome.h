// What the trial check of a memory image asks of the user: a confirmation of the
// load (or of a model switch before it), or an error when nothing can be loaded.
#pragma once

#include "app/pending_action.h"
#include "runtime/machine/memory_check.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace tw {

using TrialOutcome = std::variant<PendingAction, QString>;

// `source` names where the image came from (“prog.15c” or "the calculator"),
// `modelName` the running keyboard ("HP-15C"); `fitting` holds the firmware's other
// model variants on which the image fits, in firmware order; `extension` is a file's
// own, lower-cased (empty for the calculator).
TrialOutcome trialOutcome(const std::vector<uint8_t>& image, const QString& source, const QString& modelName,
                          const MemoryCheck& check, const std::vector<int>& fitting,
                          const QString& extension = {});

// The variant to switch to for a memory of the 15C's double-memory (15.2) mode: the
// 15.2 image when it fits and a file's model extension, if any, agrees; else the first
// that fits. None when nothing fits.
std::optional<int> doubleMemoryTarget(const std::vector<int>& fitting, const QString& extension);

} // namespace tw
