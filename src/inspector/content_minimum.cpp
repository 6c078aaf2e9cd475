#include "inspector/content_minimum.h"

#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace tw {
namespace {

// How far the window moves up to grow to `height` inside the screen: by what its frame
// would pass the bottom of the screen's available area, but never past that area's top.
int upToGrowOnScreen(const QWidget& window, int height) {
    const QScreen* screen = window.screen();
    if (!screen) return 0;
    const QRect available = screen->availableGeometry();
    const QRect frame = window.frameGeometry();
    const int frameBottom = frame.bottom() + height - window.height();
    return std::max(0, std::min(frameBottom - available.bottom(), frame.top() - available.top()));
}

// `length`, or the next length above it that a window manager gives at `scale`: at a
// fractional scale Qt has it size a window in steps of the device pixels of one pixel (two
// at 1.5), counted from nothing, and a least size between two steps came back as the step
// below it, a device pixel short of the content, whose last line then scrolled out of view.
int inWholeSteps(int length, qreal scale) {
    const int step = std::max(1, qRound(scale));
    for (int tries = 0; tries < 4 * step && qRound(length * scale) % step != 0; ++tries) ++length;
    return length;
}

// What the content of `layout` takes at its least width, which is where it takes the most
// height.
QSize leastSize(const QLayout& layout, int leastWidth, qreal scale) {
    const int width = std::max(leastWidth, layout.totalMinimumSize().width());
    const int height =
        layout.hasHeightForWidth() ? layout.totalMinimumHeightForWidth(width) : layout.totalMinimumSize().height();
    return {inWholeSteps(width, scale), inWholeSteps(height, scale)};
}

} // namespace

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
        //
        // The size given is the one the window has, not the event's: sizes the window
        // manager gives in quick succession are taken in together, and the event of the
        // first then comes with the window at the last, for which no event follows.
        if (event->spontaneous() && !fitting_) {
            window_.setAttribute(Qt::WA_Resized);
            fit(window_.height());
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
    const QSize least = leastSize(*layout, leastWidth_, window_.devicePixelRatio());
    const QSize before = window_.size();
    // Given its least height, the window follows its content again.
    if (given) givenHeight_ = *given > least.height() ? *given : 0;
    // Content that takes less room gives it back, down to a height given from outside.
    QSize wanted(std::max(before.width(), least.width()), std::max(least.height(), givenHeight_));
    const bool placed = window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
    // Lower than its content, the window raises itself: where no window manager keeps it
    // at its least, or its content grew while a size given was on its way.
    if (placed || !window_.isVisible() || before.height() < least.height())
        wanted.setHeight(std::max(before.height(), least.height()));
    // Growing, it moves first, in one request with its new size: raising its least size
    // would grow it in place.
    if (wanted.height() > before.height() && window_.isVisible() && !placed) {
        if (const int up = upToGrowOnScreen(window_, wanted.height()); up > 0)
            window_.setGeometry(QRect(window_.geometry().topLeft() - QPoint(0, up), wanted));
    }
    // The window manager is told, and keeps sizes it gives from now on at least as large.
    window_.setMinimumSize(least);
    if (window_.size() != wanted) window_.resize(wanted);
    // Hidden, the window gets no event for a size given here: Qt sends the one it has
    // pending as it shows the window, and forgets any other made while that one is handled.
    if (!window_.isVisible() && window_.size() != before) layout->setGeometry(window_.contentsRect());
    fitting_ = false;
}

} // namespace tw
