// A window that is never smaller than its content at the width it has.
#pragma once

#include <QObject>
#include <QTimer>

#include <optional>

class QWidget;

namespace tw {

// Keeps a window's least size at what its layout takes at the width the window has:
// wrapped text takes more lines the narrower it is, and the least size Qt gives a window
// is its layout's at one width, so a window made narrower, or asked for less height, cut
// its text and buttons off.
//
// The least width is the layout's, or `leastWidth` where that is more. Sitting at its
// least height, the window follows its content as it grows and shrinks; a height that the
// user or the window manager gave it is kept while the content fits, and the room the
// content does not take goes to whichever part the layout lets expand. A window that
// grows with its content moves up where it would pass the bottom of the screen.
//
// On X11 the window manager has the last word on a window's size: given less than its
// content takes at a new width, the window tells the window manager its new least size and
// takes the size that comes back, rather than asking for one of its own, which would come
// after, and undo, sizes asked for since.
class ContentMinimum : public QObject {
public:
    // Installs itself on `window`, which has its layout; lives as long as the window.
    static ContentMinimum* keep(QWidget& window, int leastWidth = 0);

    // Fits the window to its content at once, not when Qt next lays it out: for a part
    // that changed its size while the user types, before the change is painted.
    void fit();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ContentMinimum(QWidget& window, int leastWidth);
    // With the height the window was given from outside, when it was.
    void fit(std::optional<int> given);
    // Whether the window waits for the window manager to raise it to its least size.
    bool leaveToWindowManager(QSize least);

    QWidget& window_;
    const int leastWidth_;
    // The height the user or the window manager last gave the window; 0 while none did.
    int givenHeight_ = 0;
    bool fitting_ = false;
    // Runs out when no window manager answered a new least size: the window raises itself.
    QTimer unanswered_;
};

} // namespace tw
