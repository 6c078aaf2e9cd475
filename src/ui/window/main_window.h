// The application's one window: the menu bar over the content view, 900 × 560 at
// first (less on a smaller screen) and never smaller than 480 × 300 (wider beside the
// inspector).
#pragma once

#include <QMainWindow>

namespace tw {

class AppModel;
class CalculatorCommands;
class ContentView;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr QSize defaultContentSize{900, 560};
    static constexpr QSize minimumContentSize{480, 300};

    explicit MainWindow(AppModel& app, QWidget* parent = nullptr);

    ContentView* content() const { return content_; }
    CalculatorCommands* commands() const { return commands_; }

private:
    CalculatorCommands* commands_;
    ContentView* content_;
};

} // namespace tw
