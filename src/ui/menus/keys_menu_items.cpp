#include "ui/menus/keys_menu_items.h"

#include "app/app_model.h"
#include "inspector/plain_tool_tip.h"

namespace tw {

KeysMenuItems::KeysMenuItems(AppModel& app, QWidget* parent) : QMenu(QStringLiteral("Keys"), parent), app_(app) {
    setObjectName(QStringLiteral("keysMenu"));
    setToolTipsVisible(true);
    for (auto signal : {&AppModel::isRunningChanged, &AppModel::isSwitchingModelChanged, &AppModel::latchedKeysChanged})
        connect(&app, signal, this, &KeysMenuItems::refresh);
    connect(&app, &AppModel::snapshotChanged, this, [this] {
        if (app_.snapshot().model != shownModel_) refresh();
    });
    refresh();
}

void KeysMenuItems::rebuild() {
    shownModel_ = app_.snapshot().model;
    clear();
    chords_.clear();
    for (const KeyChord& chord : KeyChord::allCases()) {
        if (!chord.isAvailable(shownModel_)) continue;
        QString title = QString::fromStdString(chord.title());
        if (chord.value() == KeyChord::memoryReset) title += QStringLiteral("…"); // it asks first
        QAction* item = addAction(title);
        item->setToolTip(plainToolTip(QString::fromUtf8(chord.help().data(), qsizetype(chord.help().size()))));
        connect(item, &QAction::triggered, this, [this, chord] { app_.sendChord(chord); });
        chords_.append(item);
    }
    addSeparator();
    releaseHeld_ = addAction(QStringLiteral("Release Held Keys"));
    connect(releaseHeld_, &QAction::triggered, this, [this] { app_.apply(app_.latch().releaseAll()); });
    addAction(QStringLiteral("Hold a key down: Ctrl-click or right-click it"))->setEnabled(false);
    addAction(QStringLiteral("f-ENTER-ON: no USB in the app, the calculator just turns on"))->setEnabled(false);
}

void KeysMenuItems::refresh() {
    if (app_.snapshot().model != shownModel_) rebuild();
    const bool chordsEnabled = app_.isRunning() && !app_.isSwitchingModel();
    for (QAction* item : chords_) item->setEnabled(chordsEnabled);
    releaseHeld_->setEnabled(!app_.latchedKeys().empty());
}

} // namespace tw
