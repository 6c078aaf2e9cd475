// The root of the main window: the welcome view or the calculator with its
// inspector, the start of the remembered firmware when the window first comes on
// screen, every window-wide dialog, and the USB status capsule.
#pragma once

#include <QWidget>

class QStackedWidget;

namespace tw {

class AppModel;
class CalculatorCommands;
class CalculatorWithInspector;
class Presentations;
class StatusCapsule;

class ContentView : public QWidget {
    Q_OBJECT
public:
    ContentView(AppModel& app, CalculatorCommands& commands, QWidget* parent);

    QWidget* welcome() const { return welcome_; }
    // Null while the calculator does not run.
    CalculatorWithInspector* calculator() const { return calculator_; }
    QWidget* current() const;
    Presentations* presentations() const { return presentations_; }
    StatusCapsule* statusCapsule() const { return capsule_; }

    // The start road: unless an engine exists or a start is under way, reloads the
    // documentation fonts and starts the remembered firmware with its saved state.
    void startRoad();

    // The least size of the view whatever it shows; the calculator beside its
    // inspector may need more.
    void setMinimumFloor(QSize floor);

signals:
    // The start road ran (whether or not it started anything).
    void startRoadRan();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void followRunning();
    void fitMinimum();

    AppModel& app_;
    CalculatorCommands& commands_;
    QStackedWidget* stack_;
    QWidget* welcome_;
    CalculatorWithInspector* calculator_ = nullptr;
    Presentations* presentations_;
    StatusCapsule* capsule_;
    QSize floor_{0, 0};
};

} // namespace tw
