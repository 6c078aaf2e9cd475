// Helpers of the widget tests: the one QApplication, and reading pixels.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QPointF>

class QMenu;
class QWidget;

namespace tw::test {

// Creates the application on first use (offscreen unless a platform is set).
void ensureApplication();

// The widget rendered at device pixel ratio 1, with its children.
QImage render(QWidget& widget);

// Colour distance, each channel 0..255.
int colorDistance(const QColor& a, const QColor& b);

// Opens the widget's context menu as a right click at `p` does on X11, where the menu
// grabs the pointer without the widget hearing that it left (the offscreen platform
// sends it a Leave). Answers the menu shown.
QMenu* openContextMenuAsOnX11(QWidget& widget, QPoint p);

} // namespace tw::test

#include <QString>

namespace tw {
struct PhotoFace;
struct CalculatorModel;
struct LCDState;
} // namespace tw

namespace tw::test {

// A stand-in photograph drawn here: a dark body, the display window and a cap with its
// legends at each key rectangle of the geometry, with the geometry's aspect ratio.
QImage drawTestPhoto(const PhotoFace& face, const CalculatorModel& model, int width);

// Points the application's data folders at a fresh scratch folder (XDG_DATA_HOME)
// and answers the "Faces" folder in it, created.
QString useScratchDataFolder();

// A display showing "-8,8.8.8.8.8.8.8.8.8." with every annunciator lit.
LCDState everythingLit();

} // namespace tw::test
