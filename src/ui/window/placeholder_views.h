// Plain stand-ins for the welcome view, the calculator face, the inspector and the
// sheets' contents, so that the window runs on its own. view_factory.cpp is the
// only user.
#pragma once

#include <QWidget>

class QDialog;
class QLabel;
class QPushButton;

namespace tw {

class AppModel;

class PlaceholderWelcomeView : public QWidget {
    Q_OBJECT
public:
    PlaceholderWelcomeView(AppModel& app, QWidget* parent);

private:
    void refresh();

    AppModel& app_;
    QLabel* status_;
    QPushButton* choose_;
};

// The running model's body colour with the LCD's text; the LCD is the child named
// "lcd", whose first paint marks the first frame on screen.
class PlaceholderCalculatorView : public QWidget {
    Q_OBJECT
public:
    PlaceholderCalculatorView(AppModel& app, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    AppModel& app_;
    QWidget* lcd_;
};

class PlaceholderInspectorView : public QWidget {
    Q_OBJECT
public:
    PlaceholderInspectorView(AppModel& app, QWidget* parent);

private:
    void refresh();

    AppModel& app_;
    QLabel* text_;
};

class PlaceholderSheetView : public QWidget {
    Q_OBJECT
public:
    PlaceholderSheetView(AppModel& app, const QString& title, QDialog* sheet);
};

} // namespace tw
