#include "ui/window/calculator_with_inspector.h"

#include "app/app_model.h"
#include "ui/menus/calculator_menu.h"
#include "ui/window/aspect_ratio_box.h"
#include "ui/window/menu_button.h"
#include "ui/window/view_factory.h"

#include <QEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace tw {

CalculatorWithInspector::CalculatorWithInspector(AppModel& app, CalculatorCommands& commands, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), app_(app), area_(new QWidget(this)), box_(new AspectRatioBox(area_)),
      button_(new MenuButton(area_)), menu_(new CalculatorMenu(app, commands, button_)), column_(new QWidget(this)) {
    setObjectName(QStringLiteral("calculatorWithInspector"));
    setChildrenCollapsible(false);
    setHandleWidth(1);

    auto* areaLayout = new QVBoxLayout(area_);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    areaLayout->addWidget(box_);
    area_->setMinimumWidth(120);
    box_->setChild(views::createCalculatorView(app, box_));
    button_->setMenu(menu_);
    button_->raise();
    area_->installEventFilter(this);

    column_->setObjectName(QStringLiteral("inspectorColumn"));
    column_->setMinimumWidth(inspectorMinimumWidth);
    column_->setMaximumWidth(inspectorMaximumWidth);
    auto* columnLayout = new QVBoxLayout(column_);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->addWidget(views::createInspectorView(app, column_));

    addWidget(area_);
    addWidget(column_);
    setStretchFactor(0, 1);
    setStretchFactor(1, 0);

    auto ratio = [this] { box_->setRatio(app_.faceAspectRatio()); };
    connect(&app, &AppModel::skinChanged, this, ratio);
    connect(&app, &AppModel::faceStyleChanged, this, ratio);
    connect(&app, &AppModel::snapshotChanged, this, ratio);
    ratio();
    connect(&app, &AppModel::showInspectorChanged, this, &CalculatorWithInspector::followInspector);
    followInspector();
}

QWidget* CalculatorWithInspector::face() const { return box_->child(); }

void CalculatorWithInspector::followInspector() {
    column_->setVisible(app_.showInspector());
    int faceWidth = faceMinimumWidthBesideInspector;
    // Never wider than a small (scaled) screen holds beside the inspector.
    if (const QScreen* screen = this->screen())
        faceWidth = qMin(faceWidth, screen->availableGeometry().width() - inspectorMinimumWidth - handleWidth() - 8);
    area_->setMinimumWidth(app_.showInspector() ? qMax(120, faceWidth) : 120);
    if (app_.showInspector() && !columnSized_ && width() > 0) {
        columnSized_ = true;
        const int ideal = inspectorIdealWidth;
        setSizes({qMax(0, width() - ideal - handleWidth()), ideal});
    }
    emit minimumChanged();
}

bool CalculatorWithInspector::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_ && event->type() == QEvent::Resize) {
        placeButton();
        if (!columnSized_ && app_.showInspector()) followInspector();
    }
    return QSplitter::eventFilter(watched, event);
}

void CalculatorWithInspector::placeButton() {
    const QSize size = button_->sizeHint();
    button_->setGeometry(area_->width() - 10 - size.width(), 10, size.width(), size.height());
    button_->raise();
    // The button floats over the face's corner, where the model's name is: the face
    // keeps clear of it (the box fills the area, so their coordinates agree).
    box_->setKeepClear(button_->geometry().adjusted(-4, -4, 4, 4));
}

} // namespace tw
