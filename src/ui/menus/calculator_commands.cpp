#include "ui/menus/calculator_commands.h"

#include "app/app_model.h"
#include "ui/menus/calculator_link_menu_items.h"
#include "ui/menus/keys_menu_items.h"
#include "ui/menus/menu_texts.h"
#include "ui/menus/model_menu_items.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

namespace tw {

CalculatorCommands::CalculatorCommands(AppModel& app, QMenuBar* bar) : QObject(bar), app_(app) {
    buildFileMenu(bar);
    buildViewMenu(bar);
    buildCalculatorMenu(bar);
    model_ = new ModelMenuItems(app, bar);
    bar->addMenu(model_);
    keys_ = new KeysMenuItems(app, bar);
    bar->addMenu(keys_);
    buildHelpMenu(bar);

    for (auto signal : {&AppModel::isRunningChanged, &AppModel::showInspectorChanged, &AppModel::turboChanged,
                        &AppModel::skinChanged, &AppModel::faceStyleChanged, &AppModel::paperChanged,
                        &AppModel::docFontsChanged})
        connect(&app, signal, this, &CalculatorCommands::refresh);
    refresh();
}

void CalculatorCommands::buildFileMenu(QMenuBar* bar) {
    QMenu* file = bar->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    auto add = [&](const QString& title, const QKeySequence& shortcut, auto action) {
        QAction* item = file->addAction(title);
        if (!shortcut.isEmpty()) item->setShortcut(shortcut);
        connect(item, &QAction::triggered, this, action);
        runningOnly_.append(item);
        return item;
    };
    add(QStringLiteral("Open Memory File…"), QKeySequence(QStringLiteral("Ctrl+O")),
        [this] { openImporter(app_, FileTask::memory); });
    add(QStringLiteral("Save Memory File…"), QKeySequence(QStringLiteral("Ctrl+S")), [this] { app_.saveMemoryToFile(); });
    file->addSeparator();
    add(QStringLiteral("Program Info…"), QKeySequence(QStringLiteral("Ctrl+Shift+I")), [this] { showProgramInfo(app_); });
    add(QStringLiteral("Open Program Notes…"), {}, [this] { openImporter(app_, FileTask::notes); });
    add(QStringLiteral("Save Program Notes…"), {}, [this] { app_.saveProgramNotes(); });
    add(QStringLiteral("Export Program Documentation (PDF)…"), QKeySequence(QStringLiteral("Ctrl+Shift+E")),
        [this] { app_.exportDocumentation(); });
    add(QStringLiteral("Export Listing as Text…"), {}, [this] { exportListing(app_); });
    paperChoices_ = addPicker<PDFPaper>(file, QStringLiteral("PDF Paper Size"), kAllPapers,
                                        [this](PDFPaper paper) { app_.setPaper(paper); });
    add(QStringLiteral("Clear Program Notes"), {}, [this] { clearProgramNotes(app_); });

    QMenu* fonts = file->addMenu(QStringLiteral("PDF Fonts"));
    fontsUsing_ = fonts->addAction(QString());
    fontsUsing_->setEnabled(false);
    connect(fonts->addAction(QStringLiteral("Use HP 15C Fonts…")), &QAction::triggered, this,
            [this] { openImporter(app_, FileTask::fonts); });
    connect(fonts->addAction(QStringLiteral("Forget HP 15C Fonts")), &QAction::triggered, this, [this] {
        app_.docFontStore().forget();
        app_.loadDocFonts();
    });
    file->addSeparator();
    connect(file->addAction(QStringLiteral("Choose Firmware…")), &QAction::triggered, this,
            [this] { openImporter(app_, FileTask::firmware); });

    // Quitting lives in the File menu on Linux; the quit-time save hangs on the
    // application's quit, not on this item.
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("Quit"));
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void CalculatorCommands::buildViewMenu(QMenuBar* bar) {
    QMenu* view = bar->addMenu(QStringLiteral("View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    inspector_ = view->addAction(QString());
    inspector_->setShortcut(QKeySequence(QStringLiteral("Ctrl+I")));
    connect(inspector_, &QAction::triggered, this, [this] { toggleInspector(app_); });
    runningOnly_.append(inspector_);
    view->addSeparator();
}

void CalculatorCommands::buildCalculatorMenu(QMenuBar* bar) {
    QMenu* calculator = bar->addMenu(QStringLiteral("Calculator"));
    calculator->setObjectName(QStringLiteral("calculatorMenu"));
    turbo_ = calculator->addAction(QStringLiteral("Turbo"));
    turbo_->setCheckable(true);
    turbo_->setShortcut(QKeySequence(QStringLiteral("Ctrl+T")));
    connect(turbo_, &QAction::triggered, this, [this](bool on) { app_.setTurbo(on); });
    QAction* on = calculator->addAction(QStringLiteral("ON / OFF"));
    connect(on, &QAction::triggered, this, [this] { pressOnKey(app_); });
    runningOnly_.append(on);
    calculator->addSeparator();
    skinChoices_ = addPicker<SkinChoice>(calculator, QStringLiteral("Keyboard"), allSkinChoices,
                                         [this](SkinChoice skin) { app_.setSkin(skin); });
    faceChoices_ = addPicker<FaceStyle>(calculator, QStringLiteral("Face"), allFaceStyles,
                                        [this](FaceStyle style) { app_.setFaceStyle(style); });
    calculator->addSeparator();
    QAction* reset = calculator->addAction(QStringLiteral("Reset Calculator (clears memory)"));
    connect(reset, &QAction::triggered, this, [this] { resetCalculator(app_); });
    runningOnly_.append(reset);
    calculator->addSeparator();
    link_ = new CalculatorLinkMenuItems(app_, calculator);
}

void CalculatorCommands::buildHelpMenu(QMenuBar* bar) {
    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    QAction* about = help->addAction(QStringLiteral("About Tarnwick"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, [this] { app_.setShowAbout(true); });
}

void CalculatorCommands::refresh() {
    for (QAction* item : runningOnly_) item->setEnabled(app_.isRunning());
    inspector_->setText(app_.showInspector() ? QStringLiteral("Hide Registers && Program")
                                             : QStringLiteral("Show Registers && Program"));
    turbo_->setChecked(app_.turbo());
    for (int i = 0; i < paperChoices_.size(); ++i) paperChoices_[i]->setChecked(kAllPapers[size_t(i)] == app_.paper());
    for (int i = 0; i < skinChoices_.size(); ++i) skinChoices_[i]->setChecked(allSkinChoices[size_t(i)] == app_.skin());
    for (int i = 0; i < faceChoices_.size(); ++i)
        faceChoices_[i]->setChecked(allFaceStyles[size_t(i)] == app_.faceStyle());
    fontsUsing_->setText(QStringLiteral("Using: ") + fontLabel(app_));
}

void CalculatorCommands::openImporter(AppModel& app, FileTask task) {
    app.setImportTask(task);
    app.setShowImporter(true);
}

void CalculatorCommands::withFreshInspection(AppModel& app,
                                             std::function<void(const std::optional<InspectorSnapshot>&)> then) {
    app.requestFreshInspection([then = std::move(then)](std::optional<InspectorSnapshot> inspection) {
        then(inspection);
    });
}

void CalculatorCommands::showProgramInfo(AppModel& app) {
    withFreshInspection(app, [&app](const std::optional<InspectorSnapshot>& fresh) { app.showProgramInfo(fresh); });
}

void CalculatorCommands::exportListing(AppModel& app) {
    withFreshInspection(app, [&app](const std::optional<InspectorSnapshot>& fresh) { app.exportListing(fresh); });
}

void CalculatorCommands::clearProgramNotes(AppModel& app) {
    app.setProgramDoc(ProgramDocument{});
    app.setProgramDocURL(std::nullopt);
}

void CalculatorCommands::toggleInspector(AppModel& app) { app.setShowInspector(!app.showInspector()); }

void CalculatorCommands::pressOnKey(AppModel& app) {
    app.press(CalculatorMachine::keyON);
    app.apply(app.latch().release(CalculatorMachine::keyON));
}

void CalculatorCommands::resetCalculator(AppModel& app) { app.resetCalculator(); }

QString CalculatorCommands::fontLabel(const AppModel& app) {
    const bool keys = app.docFonts().keys.has_value();
    const bool display = app.docFonts().display.has_value();
    if (keys && display) return QStringLiteral("HP 15C key and display fonts");
    if (keys) return QStringLiteral("HP 15C key font (no display font)");
    if (display) return QStringLiteral("HP 15C display font (no key font)");
    return QStringLiteral("standard fonts");
}

} // namespace tw
