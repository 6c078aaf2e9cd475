#include "ui/menus/calculator_menu.h"

#include "app/app_model.h"
#include "ui/menus/calculator_commands.h"
#include "ui/menus/keys_menu_items.h"
#include "ui/menus/menu_texts.h"
#include "ui/menus/model_menu_items.h"


namespace tw {

CalculatorMenu::CalculatorMenu(AppModel& app, CalculatorCommands& commands, QWidget* parent)
    : QMenu(parent), app_(app) {
    setObjectName(QStringLiteral("calculatorMenuPopup"));
    turbo_ = addAction(QStringLiteral("Turbo"));
    turbo_->setCheckable(true);
    connect(turbo_, &QAction::triggered, this, [this](bool on) { app_.setTurbo(on); });
    inspector_ = addAction(QStringLiteral("Registers && Program"));
    inspector_->setCheckable(true);
    connect(inspector_, &QAction::triggered, this, [this](bool on) { app_.setShowInspector(on); });
    connect(addAction(QStringLiteral("ON / OFF")), &QAction::triggered, this,
            [this] { CalculatorCommands::pressOnKey(app_); });
    addMenu(commands.modelMenu());
    addMenu(commands.keysMenu());
    addSeparator();
    connect(addAction(QStringLiteral("Open Memory File…")), &QAction::triggered, this,
            [this] { CalculatorCommands::openImporter(app_, FileTask::memory); });
    connect(addAction(QStringLiteral("Save Memory File…")), &QAction::triggered, this,
            [this] { app_.saveMemoryToFile(); });

    QMenu* documentation = addMenu(QStringLiteral("Program Documentation"));
    connect(documentation->addAction(QStringLiteral("Program Info…")), &QAction::triggered, this,
            [this] { CalculatorCommands::showProgramInfo(app_); });
    connect(documentation->addAction(QStringLiteral("Open Program Notes…")), &QAction::triggered, this,
            [this] { CalculatorCommands::openImporter(app_, FileTask::notes); });
    connect(documentation->addAction(QStringLiteral("Save Program Notes…")), &QAction::triggered, this,
            [this] { app_.saveProgramNotes(); });
    connect(documentation->addAction(QStringLiteral("Export PDF…")), &QAction::triggered, this,
            [this] { app_.exportDocumentation(); });
    connect(documentation->addAction(QStringLiteral("Export Listing as Text…")), &QAction::triggered, this,
            [this] { CalculatorCommands::exportListing(app_); });
    paperChoices_ = addPicker<PDFPaper>(documentation, QStringLiteral("Paper"), kAllPapers,
                                        [this](PDFPaper paper) { app_.setPaper(paper); });
    connect(documentation->addAction(QStringLiteral("Use HP 15C Fonts…")), &QAction::triggered, this,
            [this] { CalculatorCommands::openImporter(app_, FileTask::fonts); });
    addSeparator();

    skinChoices_ = addPicker<SkinChoice>(this, QStringLiteral("Keyboard"), allSkinChoices,
                                         [this](SkinChoice skin) { app_.setSkin(skin); });
    faceChoices_ = addPicker<FaceStyle>(this, QStringLiteral("Face"), allFaceStyles,
                                        [this](FaceStyle style) { app_.setFaceStyle(style); });
    connect(addAction(QStringLiteral("Choose Firmware…")), &QAction::triggered, this,
            [this] { CalculatorCommands::openImporter(app_, FileTask::firmware); });
    QAction* reset = addAction(QStringLiteral("Reset Calculator…"));
    reset->setObjectName(QStringLiteral("destructive"));
    connect(reset, &QAction::triggered, this, [this] { CalculatorCommands::resetCalculator(app_); });
    addSeparator();
    connect(addAction(QStringLiteral("About Tarnwick")), &QAction::triggered, this,
            [this] { app_.setShowAbout(true); });

    connect(this, &QMenu::aboutToShow, this, &CalculatorMenu::refresh);
    for (auto signal : {&AppModel::turboChanged, &AppModel::showInspectorChanged, &AppModel::paperChanged,
                        &AppModel::skinChanged, &AppModel::faceStyleChanged})
        connect(&app, signal, this, &CalculatorMenu::refresh);
    refresh();
}

void CalculatorMenu::refresh() {
    turbo_->setChecked(app_.turbo());
    inspector_->setChecked(app_.showInspector());
    for (int i = 0; i < paperChoices_.size(); ++i) paperChoices_[i]->setChecked(kAllPapers[size_t(i)] == app_.paper());
    for (int i = 0; i < skinChoices_.size(); ++i) skinChoices_[i]->setChecked(allSkinChoices[size_t(i)] == app_.skin());
    for (int i = 0; i < faceChoices_.size(); ++i)
        faceChoices_[i]->setChecked(allFaceStyles[size_t(i)] == app_.faceStyle());
}

} // namespace tw
