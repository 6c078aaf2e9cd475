// What the window shows while the calculator runs: the face at its aspect ratio on
// a dark background, the in-window menu button in its top right corner, and the
// inspector column beside it, shown while AppModel's showInspector is set.
#pragma once

#include <QSplitter>

namespace tw {

class AppModel;
class AspectRatioBox;
class CalculatorCommands;
class CalculatorMenu;
class MenuButton;

class CalculatorWithInspector : public QSplitter {
    Q_OBJECT
public:
    static constexpr int inspectorMinimumWidth = 260;
    static constexpr int inspectorIdealWidth = 320;
    static constexpr int inspectorMaximumWidth = 520;
    // Beside the inspector the face keeps the width it has in the smallest window
    // without it, so that its legends stay legible.
    static constexpr int faceMinimumWidthBesideInspector = 480;

    CalculatorWithInspector(AppModel& app, CalculatorCommands& commands, QWidget* parent);

    QWidget* calculatorArea() const { return area_; }
    AspectRatioBox* faceBox() const { return box_; }
    QWidget* face() const;
    MenuButton* menuButton() const { return button_; }
    CalculatorMenu* menu() const { return menu_; }
    QWidget* inspectorColumn() const { return column_; }

signals:
    // The inspector came or went, and with it the least size this view needs.
    void minimumChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followInspector();
    void placeButton();

    AppModel& app_;
    QWidget* area_;
    AspectRatioBox* box_;
    MenuButton* button_;
    CalculatorMenu* menu_;
    QWidget* column_;
    bool columnSized_ = false;
};

} // namespace tw
