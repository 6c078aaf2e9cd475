// The desktop keyboard plays the calculator while the calculator view is on screen:
// one application-wide event filter, installed when the view is shown and removed
// when it is hidden, hands key events to the router.
#pragma once

#include "ui/keyboard/hardware_key_router.h"

#include <QObject>
#include <QPointer>

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
    bool keyboardBelongsElsewhere() const;
    bool isOurWindow(QObject* object) const;

    QPointer<QWidget> view_;
    HardwareKeyRouter router_;
    bool installed_ = false;
};

// The identity of a physical key: its scan code, or for a synthetic event without
// one, its Qt key code.
uint32_t physicalKey(const QKeyEvent& event);

} // namespace tw
