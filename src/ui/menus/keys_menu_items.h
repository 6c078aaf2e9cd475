// The "Keys" menu: the calculators' ON-key chords and the key latch. Shown in the
// menu bar and, as the same menu, in the in-window menu.
#pragma once

#include <QMenu>

namespace tw {

class AppModel;

class KeysMenuItems : public QMenu {
    Q_OBJECT
public:
    KeysMenuItems(AppModel& app, QWidget* parent);

    void refresh();

private:
    void rebuild();

    AppModel& app_;
    QList<QAction*> chords_;
    QAction* releaseHeld_ = nullptr;
    int shownModel_ = -1; // the chord list depends on the model
};

} // namespace tw
