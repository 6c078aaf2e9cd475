#include "ui/window/content_view.h"

#include "app/app_model.h"
#include "ui/dialogs/presentations.h"
#include "ui/window/calculator_with_inspector.h"
#include "ui/window/status_capsule.h"
#include "ui/window/view_factory.h"

#include <QShowEvent>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace tw {

ContentView::ContentView(AppModel& app, CalculatorCommands& commands, QWidget* parent)
    : QWidget(parent), app_(app), commands_(commands), stack_(new QStackedWidget(this)),
      welcome_(views::createWelcomeView(app, stack_)), presentations_(new Presentations(app, this)),
      capsule_(new StatusCapsule(this)) {
    setObjectName(QStringLiteral("contentView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_);
    stack_->addWidget(welcome_);
    connect(&app, &AppModel::isRunningChanged, this, &ContentView::followRunning);
    connect(&app, &AppModel::linkStatusChanged, this, [this] { capsule_->setStatus(app_.linkStatus()); });
    followRunning();
    capsule_->setStatus(app.linkStatus());
}

QWidget* ContentView::current() const { return stack_->currentWidget(); }

void ContentView::followRunning() {
    if (app_.isRunning()) {
        if (!calculator_) {
            calculator_ = new CalculatorWithInspector(app_, commands_, stack_);
            stack_->addWidget(calculator_);
            connect(calculator_, &CalculatorWithInspector::minimumChanged, this, &ContentView::fitMinimum);
        }
        stack_->setCurrentWidget(calculator_);
    } else {
        stack_->setCurrentWidget(welcome_);
        // The face goes with the calculator, and with it its hold on the keyboard.
        if (calculator_) {
            stack_->removeWidget(calculator_);
            calculator_->deleteLater();
            calculator_ = nullptr;
        }
    }
    capsule_->raise();
    fitMinimum();
}

void ContentView::setMinimumFloor(QSize floor) {
    floor_ = floor;
    fitMinimum();
}

void ContentView::fitMinimum() {
    // An explicit minimum stands above what the children ask for, so it is raised
    // here when the calculator needs more (the window grows with it).
    QSize least = floor_;
    if (calculator_ && current() == calculator_) least = least.expandedTo(calculator_->minimumSizeHint());
    // The welcome's paragraphs take more lines the narrower they are: at the least width
    // they take the most, which the window then has room for, whatever the font.
    if (current() == welcome_ && welcome_->layout() && welcome_->layout()->hasHeightForWidth())
        least.setHeight(std::max(least.height(), welcome_->layout()->totalMinimumHeightForWidth(least.width())));
    setMinimumSize(least);
}

void ContentView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Coming on screen, not being restored from a minimised window. The start is
    // deferred so that the window is painted before any work begins.
    if (!event->spontaneous()) QTimer::singleShot(0, this, &ContentView::startRoad);
}

void ContentView::startRoad() {
    if (app_.engine() || app_.isStarting()) {
        emit startRoadRan();
        return;
    }
    app_.loadDocFonts();
    app_.startRememberedFirmware();
    emit startRoadRan();
}

} // namespace tw
