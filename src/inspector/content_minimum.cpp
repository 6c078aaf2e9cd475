#include "inspector/content_minimum.h"

#include <QEvent>
#include <QLayout>
#include <QResizeEvent>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace tw {

ContentMinimum* ContentMinimum::keep(QWidget& window, int leastWidth) {
    return new ContentMinimum(window, leastWidth);
}

ContentMinimum::ContentMinimum(QWidget& window, int leastWidth)
    : QObject(&window), window_(window), leastWidth_(leastWidth) {
    // The least size is set here alone: the layout's own would be its least at one width.
    if (QLayout* layout = window.layout()) layout->setSizeConstraint(QLayout::SetNoConstraint);
    window.installEventFilter(this);
}

bool ContentMinimum::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_) return false;
    switch (event->type()) {
    case QEvent::Resize:
        // Sizes the window is given from outside come in spontaneously; those set here,
        // or by Qt as it keeps the window at its least, do not. A size given is kept when
        // the window is shown again, where Qt would size it anew.
        if (event->spontaneous() && !fitting_) {
            window_.setAttribute(Qt::WA_Resized);
            fit(static_cast<const QResizeEvent*>(event)->size().height());
        } else {
            fit();
        }
        break;
    // The layout has taken in a change of its content (it sees the event first), or is
    // about to lay the window out to be shown.
    case QEvent::LayoutRequest:
    case QEvent::Show: fit(); break;
    default: break;
    }
    return false;
}

void ContentMinimum::fit() {
    fit(std::nullopt);
}

void ContentMinimum::fit(std::optional<int> given) {
    QLayout* layout = window_.layout();
    if (!layout || fitting_) return;
    fitting_ = true;
    layout->activate();
    const int width = std::max(leastWidth_, layout->totalMinimumSize().width());
    const int atWidth = std::max(width, window_.width());
    const int height = layout->hasHeightForWidth() ? layout->totalMinimumHeightForWidth(atWidth)
                                                   : layout->totalMinimumSize().height();
    // Given its least height at its width, or less (asked for before the window manager
    // knew it), the window follows its content again.
    if (given) givenHeight_ = *given > height ? *given : 0;
    const QSize before = window_.size();
    // The window manager is told, and keeps sizes it gives from now on at least as large.
    window_.setMinimumSize(width, height);
    // Content that takes less room gives it back, down to a height given from outside;
    // a size given below the least (asked for before the window manager knew it) is raised.
    const QSize now = window_.size();
    QSize wanted(std::max(now.width(), width), std::max(height, givenHeight_));
    const bool placed = window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
    if (placed || !window_.isVisible() || now.height() < height) wanted.setHeight(std::max(now.height(), height));
    if (wanted != now) window_.resize(wanted);
    // Hidden, the window gets no event for a size given here: Qt sends the one it has
    // pending as it shows the window, and forgets any other made while that one is handled.
    if (!window_.isVisible() && window_.size() != before) layout->setGeometry(window_.contentsRect());
    fitting_ = false;
}

} // namespace tw
