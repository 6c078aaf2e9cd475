// Program notes: remembered for each firmware, opened, saved and kept in step with the program.
#include "app/app_model.h"

namespace tw {

void AppModel::rememberProgramDoc() {}

void AppModel::restoreProgramDoc() {}

void AppModel::rematchNotesIfProgramChanged(const std::optional<InspectorSnapshot>&) {}

void AppModel::memoryLoaded() {}

void AppModel::openProgramNotes(const FileResult&) {}

void AppModel::applyOpenedNotes(const std::optional<InspectorSnapshot>&, ProgramDocument, const QString&) {}

void AppModel::showProgramInfo(const std::optional<InspectorSnapshot>&) {}

void AppModel::setStepComment(const QString&, int) {}

void AppModel::removeOrphanedComments() {}

void AppModel::saveProgramNotes() {}

QString AppModel::defaultNotesFileName() const { return {}; }

} // namespace tw
