#include "ui/window/screen_fit.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace tw {

QRect fittedOnScreen(const QRect& wanted, const QSize& minimum, const QRect& available, const QMargins& frame) {
    const QRect room = available.marginsRemoved(frame);
    const QSize size = wanted.size().boundedTo(room.size()).expandedTo(minimum);
    QRect placed(wanted.topLeft(), size);
    // Inside the room: the right and bottom first, then the left and top win.
    placed.moveRight(std::min(placed.right(), room.right()));
    placed.moveBottom(std::min(placed.bottom(), room.bottom()));
    placed.moveLeft(std::max(placed.left(), room.left()));
    placed.moveTop(std::max(placed.top(), room.top()));
    return placed;
}

void fitOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) return;
    // The frame is only known once the desktop has drawn it: allow for a title bar
    // and a thin border.
    const int title = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    const QMargins frame(2, std::max(title, 24) + 2, 2, 2);
    const QRect placed = fittedOnScreen(window.geometry(), window.minimumSize(), screen->availableGeometry(), frame);
    // Only the size: the desktop places a new window, and a dialog centres itself over
    // its parent within the screen.
    window.resize(placed.size());
}

} // namespace tw
