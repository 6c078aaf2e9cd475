// Model switching, memory reset, confirmed actions and saving the memory to a file.
#include "app/app_model.h"

namespace tw {

void AppModel::switchModel(int, std::function<void()>) {}

void AppModel::perform(const PendingAction&) { setPendingAction(std::nullopt); }

void AppModel::saveMemoryToFile() {}

} // namespace tw
