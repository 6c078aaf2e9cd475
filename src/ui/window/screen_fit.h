// Windows and sheets open within the screen's available area, also when desktop
// scaling makes the screen small in the units Qt lays out in.
#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace tw {

// The geometry of a window that wants `wanted` (its contents, without the frame the
// desktop adds) on a screen whose free area is `available`: no larger than that area
// less `frame`, never below `minimum`, and moved inside the area as far as it fits.
QRect fittedOnScreen(const QRect& wanted, const QSize& minimum, const QRect& available, const QMargins& frame);

// Resizes a window that is not shown yet to fit its screen's available area, allowing
// for a title bar that the desktop will add.
void fitOnScreen(QWidget& window);

} // namespace tw
