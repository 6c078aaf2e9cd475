#include "inspector/content_minimum.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <optional>

namespace tw {
namespace {

// Far longer than a window manager takes to answer a new least size, so that the window
// raises itself only where none does (an X server without one).
constexpr int kWindowManagerAnswerMs = 500;

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

// `least`, or the size the window `has` where that falls short of it by less than a step:
// at a fractional scale Qt has the window manager size a window in steps of the device
// pixels of one pixel (two at 1.5), which may not meet the least exactly, and a window
// that raised itself to it would ask again at every size it is given.
int leastInSteps(int least, int has, qreal scale) {
    const int step = std::max(1, qRound(scale));
    return has < least && qRound(has * scale) + step > qRound(least * scale) ? has : least;
}

} // namespace

ContentMinimum* ContentMinimum::keep(QWidget& window, int leastWidth) {
    return new ContentMinimum(window, leastWidth);
}

ContentMinimum::ContentMinimum(QWidget& window, int leastWidth)
    : QObject(&window), window_(window), leastWidth_(leastWidth) {
    unanswered_.setSingleShot(true);
    unanswered_.setInterval(kWindowManagerAnswerMs);
    connect(&unanswered_, &QTimer::timeout, this, [this] { fit(); });
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
            unanswered_.stop();
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
    const QSize before = window_.size();
    const qreal scale = window_.devicePixelRatio();
    const int width = leastInSteps(std::max(leastWidth_, layout->totalMinimumSize().width()), before.width(), scale);
    const int atWidth = std::max(width, window_.width());
    const int height =
        leastInSteps(layout->hasHeightForWidth() ? layout->totalMinimumHeightForWidth(atWidth)
                                                 : layout->totalMinimumSize().height(),
                     before.height(), scale);
    // Given its least height at its width, or less (asked for before the window manager
    // knew it), the window follows its content again.
    if (given) givenHeight_ = *given > height ? *given : 0;
    // Content that takes less room gives it back, down to a height given from outside;
    // a size given below the least (asked for before the window manager knew it) is raised.
    QSize wanted(std::max(before.width(), width), std::max(height, givenHeight_));
    const bool placed = window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
    if (before.height() < height && (given || unanswered_.isActive()) && !placed &&
        leaveToWindowManager({width, height})) {
        fitting_ = false;
        return;
    }
    if (placed || !window_.isVisible() || before.height() < height) wanted.setHeight(std::max(before.height(), height));
    // Growing, it moves first, in one request with its new size: raising its least size
    // would grow it in place.
    if (wanted.height() > before.height() && window_.isVisible() && !placed) {
        if (const int up = upToGrowOnScreen(window_, wanted.height()); up > 0)
            window_.setGeometry(QRect(window_.geometry().topLeft() - QPoint(0, up), wanted));
    }
    // The window manager is told, and keeps sizes it gives from now on at least as large.
    window_.setMinimumSize(width, height);
    if (window_.size() != wanted) window_.resize(wanted);
    // Hidden, the window gets no event for a size given here: Qt sends the one it has
    // pending as it shows the window, and forgets any other made while that one is handled.
    if (!window_.isVisible() && window_.size() != before) layout->setGeometry(window_.contentsRect());
    fitting_ = false;
}

// Given less than its content takes, by a window manager that did not know the least size
// at the new width: the window manager is told, through the window alone (the widget's own
// least size would have Qt ask for a size at once), and raises the window from the size
// it has by then, which takes in sizes asked for since. Elsewhere the window raises itself.
bool ContentMinimum::leaveToWindowManager(QSize least) {
    QWindow* handle = window_.windowHandle();
    if (!handle || !window_.isVisible() || QGuiApplication::platformName() != QLatin1String("xcb")) return false;
    handle->setMinimumSize(least);
    if (!unanswered_.isActive()) unanswered_.start();
    return true;
}

} // namespace tw
