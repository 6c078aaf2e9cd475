// A window that is never smaller than its content at any width it may have.
#pragma once

#include <QObject>
#include <QSize>

#include <optional>

class QWidget;

namespace tw {

// Keeps a window's least size at what its layout takes at its least width: wrapped text
// takes more lines the narrower it is, so that size holds at every width the window may
// have, and the least size Qt gives a window from its layout is its least at one width
// only, which cut its text and buttons off when the window was made narrower or lower.
//
// The least size changes with the content alone, never with the width: on X11 the window
// manager keeps a window at least as large as the single least size it was told, and one
// told a new least size at each width was told it after sizes asked for since, and the
// window asked for a size of its own that undid them. Made wide and low, the window keeps
// the height of its least width, and the room its content does not take there goes to
// whichever part the layout lets expand.
//
// The least width is the layout's, or `leastWidth` where that is more. Sitting at its
// least height, the window follows its content as it grows and shrinks; a height that the
// user or the window manager gave it is kept while the content fits. A window that grows
// with its content moves up where it would pass the bottom of the screen.
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

    QWidget& window_;
    const int leastWidth_;
    // The height the user or the window manager last gave the window; 0 while none did.
    int givenHeight_ = 0;
    bool fitting_ = false;
};

} // namespace tw
