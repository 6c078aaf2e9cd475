// The in-window menu behind the round button over the face: the everyday commands
// of the menu bar in one pop-up, with no shortcuts and nothing ever disabled. Its
// "Model" and "Keys" submenus are the menu bar's own.
#pragma once

#include <QMenu>

namespace tw {

class AppModel;
class CalculatorCommands;

class CalculatorMenu : public QMenu {
    Q_OBJECT
public:
    CalculatorMenu(AppModel& app, CalculatorCommands& commands, QWidget* parent);

    void refresh();

private:
    AppModel& app_;
    QAction* turbo_;
    QAction* inspector_;
    QList<QAction*> paperChoices_;
    QList<QAction*> skinChoices_;
    QList<QAction*> faceChoices_;
};

} // namespace tw
