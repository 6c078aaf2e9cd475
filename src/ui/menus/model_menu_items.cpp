#include "ui/menus/model_menu_items.h"

#include "app/app_model.h"

#include <algorithm>

namespace tw {

ModelMenuItems::ModelMenuItems(AppModel& app, QWidget* parent) : QMenu(QStringLiteral("Model"), parent), app_(app) {
    setObjectName(QStringLiteral("modelMenu"));
    for (auto signal : {&AppModel::imagesChanged, &AppModel::isRunningChanged, &AppModel::isSwitchingModelChanged})
        connect(&app, signal, this, &ModelMenuItems::refresh);
    connect(&app, &AppModel::snapshotChanged, this, [this] {
        if (app_.snapshot().variant != shownVariant_ || app_.isRunning() != shownRunning_) refresh();
    });
    refresh();
}

void ModelMenuItems::refresh() {
    shownRunning_ = app_.isRunning();
    shownVariant_ = app_.snapshot().variant;
    clear();
    const auto& images = app_.images();
    if (images.empty()) {
        addAction(QStringLiteral("No firmware"))->setEnabled(false);
        return;
    }
    for (int variant : images) {
        QAction* item = addAction(QString::fromStdString(CalculatorMachine::variantLabel(variant)));
        item->setCheckable(true);
        item->setChecked(app_.isRunning() && app_.snapshot().variant == variant);
        item->setEnabled(app_.canSwitchModel());
        connect(item, &QAction::triggered, this, [this, variant] { choose(variant); });
    }
    if (images.size() >= 2) {
        addSeparator();
        addAction(app_.isSwitchingModel() ? QStringLiteral("Switching…")
                                          : QStringLiteral("Switching clears the calculator's memory"))
            ->setEnabled(false);
    }
}

void ModelMenuItems::choose(int variant) {
    // The tick follows the running model, not the click.
    const auto& images = app_.images();
    if (app_.canSwitchModel() && std::find(images.begin(), images.end(), variant) != images.end())
        app_.setPendingAction(PendingAction::switchModel(variant));
    refresh();
}

} // namespace tw
