// What the window shows while no calculator runs: what the application is and
// the button that asks for the firmware file; a spinner while one starts.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QProgressBar;

namespace tw {

class AppModel;

class WelcomeView : public QWidget {
    Q_OBJECT
public:
    explicit WelcomeView(AppModel& app, QWidget* parent = nullptr);

    QPushButton* chooseButton() const { return choose_; }
    bool showsSpinner() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();

    AppModel& app_;
    QPushButton* choose_ = nullptr;
    QLabel* hint_ = nullptr;
    QProgressBar* spinner_ = nullptr;
    QLabel* starting_ = nullptr;
};

} // namespace tw
