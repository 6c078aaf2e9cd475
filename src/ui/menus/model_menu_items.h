// The "Model" menu: one entry per model image of the running firmware, ticked on
// the running one; choosing one asks for the switch to be confirmed. Shown in the
// menu bar and, as the same menu, in the in-window menu.
#pragma once

#include <QMenu>

namespace tw {

class AppModel;

class ModelMenuItems : public QMenu {
    Q_OBJECT
public:
    ModelMenuItems(AppModel& app, QWidget* parent);

    // Rebuilds the entries from the model.
    void refresh();

private:
    void choose(int variant);

    AppModel& app_;
    // What the entries were built from, so that a new display frame alone costs nothing.
    bool shownRunning_ = false;
    int shownVariant_ = -1;
};

} // namespace tw
