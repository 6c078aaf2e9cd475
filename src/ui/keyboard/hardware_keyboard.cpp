#include "ui/keyboard/hardware_keyboard.h"

#include "app/app_model.h"
#include "ui/keyboard/desktop_key_table.h"
#include "ui/keyboard/detectable_auto_repeat.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>
#include <QWindow>

namespace tw {

namespace {

// The keys a read-only field uses: moving the cursor and, with Shift, the selection,
// and Escape, which closes a field opened in a list. Copying goes with Ctrl, which
// never plays the calculator.
bool readOnlyFieldKey(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Escape: return true;
    default: return false;
    }
}

} // namespace

uint32_t physicalKey(const QKeyEvent& event) {
    if (event.nativeScanCode() != 0) return event.nativeScanCode();
    return 0x80000000u | static_cast<uint32_t>(event.key());
}

HardwareKeyboard::HardwareKeyboard(QWidget* view) : QObject(view), view_(view) {
    releaseTimer_.setSingleShot(true);
    releaseTimer_.setTimerType(Qt::PreciseTimer);
    releaseTimer_.setInterval(kReleaseWaitMs);
    connect(&releaseTimer_, &QTimer::timeout, this, &HardwareKeyboard::deliverPendingRelease);
    view->installEventFilter(this);
    if (view->isVisible()) install();
}

HardwareKeyboard::HardwareKeyboard(AppModel& appModel, QWidget* view) : HardwareKeyboard(view) {
    QPointer<AppModel> app(&appModel);
    router_.model = [app]() -> const CalculatorModel& {
        return app ? app->model() : CalculatorModel::hp16c();
    };
    router_.press = [app](int code) {
        if (app) app->press(code);
    };
    router_.pressShifted = [app](int shift, int code) {
        if (app) app->press(code, shift == keycode::f ? KeyPart::fLabel : KeyPart::gLabel);
    };
    router_.release = [app](int code) {
        if (app) app->release(code);
    };
}

HardwareKeyboard::~HardwareKeyboard() {
    if (installed_) qApp->removeEventFilter(this);
}

void HardwareKeyboard::install() {
    if (installed_) return;
    requestDetectableAutoRepeat();
    qApp->installEventFilter(this);
    installed_ = true;
}

void HardwareKeyboard::uninstall() {
    if (installed_) {
        qApp->removeEventFilter(this);
        installed_ = false;
    }
    deliverPendingRelease();
    router_.releaseAllAndForgetModifiers();
}

bool HardwareKeyboard::isOurWindow(QObject* object) const {
    if (!view_) return false;
    if (object->isWindowType()) return object == view_->window()->windowHandle();
    return object == view_->window();
}

bool HardwareKeyboard::keyboardBelongsElsewhere(const QKeyEvent& event) const {
    if (QApplication::activeModalWidget()) return true;
    const QWidget* focus = QApplication::focusWidget();
    if (!focus) return false;
    // A field that is only read (a register's value opened to select it) keeps the
    // keys it uses; every other key still plays the calculator.
    bool readOnly = false;
    if (const auto* line = qobject_cast<const QLineEdit*>(focus)) readOnly = line->isReadOnly();
    else if (const auto* text = qobject_cast<const QTextEdit*>(focus)) readOnly = text->isReadOnly();
    else if (const auto* plain = qobject_cast<const QPlainTextEdit*>(focus)) readOnly = plain->isReadOnly();
    else return qobject_cast<const QAbstractSpinBox*>(focus) != nullptr;
    return !readOnly || readOnlyFieldKey(event);
}

bool HardwareKeyboard::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_) {
        if (event->type() == QEvent::Show) install();
        else if (event->type() == QEvent::Hide) uninstall();
    }
    if (!installed_) return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // A key event passes the application's filters once for its window and again
        // for each widget it is offered to; the window's pass is the one that counts.
        if (!watched->isWindowType()) return false;
        // Presses only in the calculator's own window; a release wherever it arrives,
        // so that no key that went down in the calculator stays down.
        if (event->type() == QEvent::KeyPress && !isOurWindow(watched)) return false;
        return route(static_cast<QKeyEvent*>(event));
    case QEvent::WindowDeactivate:
    case QEvent::WindowBlocked:
        // The keyboard goes elsewhere (another window, a dialog): releases and the Alt
        // release may never reach us, so no key may stay down and no tap stay armed.
        if (isOurWindow(watched)) {
            deliverPendingRelease();
            router_.releaseAllAndForgetModifiers();
        }
        return false;
    case QEvent::ApplicationDeactivate:
        deliverPendingRelease();
        router_.releaseAllAndForgetModifiers();
        return false;
    default: return false;
    }
}

void HardwareKeyboard::deliverPendingRelease() {
    if (!pendingRelease_) return;
    const uint32_t key = pendingRelease_->key;
    pendingRelease_.reset();
    releaseTimer_.stop();
    router_.keyUp(key);
}

bool HardwareKeyboard::routeRelease(QKeyEvent* event) {
    const uint32_t key = physicalKey(*event);
    // X11's auto-repeat sends a release before each repeated press.
    if (event->isAutoRepeat()) return router_.isHeld(key);
    deliverPendingRelease();
    if (event->timestamp() != 0) lastRelease_ = PendingRelease{key, event->timestamp()};
    if (event->key() == Qt::Key_Shift || event->key() == Qt::Key_Alt) {
        if (!(event->modifiers() & Qt::ControlModifier) && !keyboardBelongsElsewhere(*event))
            router_.modifierChanged(event->key() == Qt::Key_Shift ? HardwareKeyRouter::Modifier::shift
                                                                  : HardwareKeyRouter::Modifier::option,
                                    false);
        return false;
    }
    // Only a release with the server's time can be half of a repeat; one without
    // (made up by a program) goes up at once.
    if (router_.isHeld(key) && event->timestamp() != 0) {
        pendingRelease_ = PendingRelease{key, event->timestamp()};
        releaseTimer_.start();
        return true;
    }
    // Whatever else holds the keyboard now (Ctrl, a dialog), a key that went down
    // in the calculator comes up there.
    return router_.keyUp(key);
}

bool HardwareKeyboard::route(QKeyEvent* event) {
    if (event->type() == QEvent::KeyRelease) return routeRelease(event);

    const uint32_t key = physicalKey(*event);
    bool repeat = event->isAutoRepeat();
    if (pendingRelease_) {
        // The same key at the time of its release: the server's auto-repeat, and the
        // key never went up.
        if (pendingRelease_->key == key && pendingRelease_->time == event->timestamp()) {
            pendingRelease_.reset();
            releaseTimer_.stop();
            repeat = true;
        } else {
            deliverPendingRelease();
        }
    }
    // The same, after the wait had let the key go up: the key stays up in the
    // calculator rather than counting as a second press.
    if (lastRelease_ && lastRelease_->key == key && lastRelease_->time == event->timestamp() &&
        event->timestamp() != 0)
        repeat = true;

    if (event->modifiers() & Qt::ControlModifier || event->key() == Qt::Key_Control) {
        // Ctrl shortcuts belong to the menus; a modifier held across one taps nothing.
        router_.otherKeyDown();
        return false;
    }
    if (keyboardBelongsElsewhere(*event)) {
        router_.otherKeyDown(); // Shift with a field's key extends its selection: no tap of f
        return false;
    }
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Alt:
        if (!repeat)
            router_.modifierChanged(event->key() == Qt::Key_Shift ? HardwareKeyRouter::Modifier::shift
                                                                  : HardwareKeyRouter::Modifier::option,
                                    true);
        return false;
    case Qt::Key_AltGr: // a third level of characters, not Alt
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return false;
    default: break;
    }
    const std::optional<KeyShortcut> shortcut = shortcutForKeyEvent(*event);
    if (!shortcut) {
        router_.otherKeyDown();
        return false;
    }
    return router_.keyDown(key, *shortcut, repeat, event->modifiers() & Qt::AltModifier);
}

} // namespace tw
