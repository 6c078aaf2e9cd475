// The desktop keyboard plays the calculator while the calculator view is on screen:
// one application-wide event filter, installed when the view is shown and removed
// when it is hidden, hands key events to the router.
#pragma once

#include "ui/keyboard/hardware_key_router.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <optional>

class QKeyEvent;
class QWidget;

namespace tw {

class AppModel;

class HardwareKeyboard : public QObject {
    Q_OBJECT
public:
    // Follows the view's visibility; the router's closures are the caller's.
    explicit HardwareKeyboard(QWidget* view);
    // The router's closures call the application model (press, legend press, release
    // through the latch) and ask it for the keyboard in use.
    HardwareKeyboard(AppModel& app, QWidget* view);
    ~HardwareKeyboard() override;

    HardwareKeyRouter& router() { return router_; }
    bool isInstalled() const { return installed_; }

    void install();
    // Removes the filter and lets go of every key it holds.
    void uninstall();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the event is swallowed.
    bool route(QKeyEvent* event);
    bool routeRelease(QKeyEvent* event);
    // Lets the held key of a release kept back go up now.
    void deliverPendingRelease();
    bool keyboardBelongsElsewhere(const QKeyEvent& event) const;
    bool isOurWindow(QObject* object) const;

    QPointer<QWidget> view_;
    HardwareKeyRouter router_;
    bool installed_ = false;

    // X11's auto-repeat sends a release and a press of the held key at the same server
    // time, and Qt does not always mark them as repeats: a release is kept back until
    // the next key event or for at most kReleaseWaitMs, and a press of the same key at
    // the same time cancels it.
    struct PendingRelease {
        uint32_t key = 0;
        quint64 time = 0;
    };
    std::optional<PendingRelease> pendingRelease_;
    // The last release with the server's time: on a busy machine the press of the
    // repeat can come after the wait, and must not press the key a second time.
    std::optional<PendingRelease> lastRelease_;
    QTimer releaseTimer_;
};

inline constexpr int kReleaseWaitMs = 30;

// The identity of a physical key: its scan code, or for a synthetic event without
// one, its Qt key code.
uint32_t physicalKey(const QKeyEvent& event);

} // namespace tw
