// The menu bar: File, View, Calculator, Model, Keys and Help. Holds no state: every
// title, enabled state and check mark is read from AppModel whenever it changes,
// and every item is one AppModel operation or field assignment.
#pragma once

#include "app/file_task.h"
#include "runtime/snapshot/inspector_snapshot.h"

#include <QList>
#include <QObject>

#include <functional>
#include <optional>

class QAction;
class QMenu;
class QMenuBar;

namespace tw {

class AppModel;
class CalculatorLinkMenuItems;
class KeysMenuItems;
class ModelMenuItems;

class CalculatorCommands : public QObject {
    Q_OBJECT
public:
    CalculatorCommands(AppModel& app, QMenuBar* bar);

    // Shared with the in-window menu.
    ModelMenuItems* modelMenu() const { return model_; }
    KeysMenuItems* keysMenu() const { return keys_; }

    // The operations behind the items, also used by the in-window menu.
    static void openImporter(AppModel& app, FileTask task);
    // Runs the continuation with an inspection taken now; nothing without an engine.
    static void withFreshInspection(AppModel& app,
                                    std::function<void(const std::optional<InspectorSnapshot>&)> then);
    static void clearProgramNotes(AppModel& app);
    static void toggleInspector(AppModel& app);
    static void pressOnKey(AppModel& app);
    static void resetCalculator(AppModel& app);
    static void showProgramInfo(AppModel& app);
    static void exportListing(AppModel& app);

    // The label after "Using: " in the PDF Fonts submenu.
    static QString fontLabel(const AppModel& app);

private:
    void buildFileMenu(QMenuBar* bar);
    void buildViewMenu(QMenuBar* bar);
    void buildCalculatorMenu(QMenuBar* bar);
    void buildHelpMenu(QMenuBar* bar);
    void refresh();

    AppModel& app_;
    QList<QAction*> runningOnly_; // enabled while the calculator runs
    QAction* fontsUsing_ = nullptr;
    QList<QAction*> paperChoices_;
    QAction* inspector_ = nullptr;
    QAction* turbo_ = nullptr;
    QList<QAction*> skinChoices_;
    QList<QAction*> faceChoices_;
    CalculatorLinkMenuItems* link_ = nullptr;
    ModelMenuItems* model_ = nullptr;
    KeysMenuItems* keys_ = nullptr;
};

} // namespace tw
