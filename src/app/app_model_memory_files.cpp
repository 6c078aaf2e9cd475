// Loading memory files, the trial check and the save-panel hand-off.
#include "app/app_model.h"

namespace tw {

void AppModel::loadMemory(const FileResult&) {}

void AppModel::trialLoad(std::vector<uint8_t>, const QString&) {}

void AppModel::saveMemoryFinished(EngineOutcome<SavedState>) {}

void AppModel::exportFinished(const FileResult&) {}

void AppModel::exportPanelClosed() {}

} // namespace tw
