#include "ui/keyboard/hardware_keyboard.h"

#include "app/app_model.h"
#include "ui/keyboard/desktop_key_table.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>
#include <QWindow>

namespace tw {

uint32_t physicalKey(const QKeyEvent& event) {
    if (event.nativeScanCode() != 0) return event.nativeScanCode();
    return 0x80000000u | static_cast<uint32_t>(event.key());
}

HardwareKeyboard::HardwareKeyboard(QWidget* view) : QObject(view), view_(view) {
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
    qApp->installEventFilter(this);
    installed_ = true;
}

void HardwareKeyboard::uninstall() {
    if (installed_) {
        qApp->removeEventFilter(this);
        installed_ = false;
    }
    router_.releaseAllAndForgetModifiers();
}

bool HardwareKeyboard::isOurWindow(QObject* object) const {
    if (!view_) return false;
    if (object->isWindowType()) return object == view_->window()->windowHandle();
    return object == view_->window();
}

bool HardwareKeyboard::keyboardBelongsElsewhere() const {
    if (QApplication::activeModalWidget()) return true;
    const QWidget* focus = QApplication::focusWidget();
    return focus && (qobject_cast<const QLineEdit*>(focus) || qobject_cast<const QTextEdit*>(focus) ||
                     qobject_cast<const QPlainTextEdit*>(focus) || qobject_cast<const QAbstractSpinBox*>(focus));
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
        if (isOurWindow(watched)) router_.releaseAllAndForgetModifiers();
        return false;
    case QEvent::ApplicationDeactivate: router_.releaseAllAndForgetModifiers(); return false;
    default: return false;
    }
}

bool HardwareKeyboard::route(QKeyEvent* event) {
    const uint32_t key = physicalKey(*event);
    const bool ctrl = event->modifiers() & Qt::ControlModifier;

    if (event->type() == QEvent::KeyRelease) {
        // X11's auto-repeat sends a release before each repeated press.
        if (event->isAutoRepeat()) return router_.isHeld(key);
        if (event->key() == Qt::Key_Shift || event->key() == Qt::Key_Alt) {
            if (!ctrl && !keyboardBelongsElsewhere())
                router_.modifierChanged(event->key() == Qt::Key_Shift ? HardwareKeyRouter::Modifier::shift
                                                                      : HardwareKeyRouter::Modifier::option,
                                        false);
            return false;
        }
        // Whatever else holds the keyboard now (Ctrl, a dialog), a key that went down
        // in the calculator comes up there.
        return router_.keyUp(key);
    }

    if (ctrl || event->key() == Qt::Key_Control) {
        // Ctrl shortcuts belong to the menus; a modifier held across one taps nothing.
        router_.otherKeyDown();
        return false;
    }
    if (keyboardBelongsElsewhere()) return false;
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Alt:
        if (!event->isAutoRepeat())
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
    return router_.keyDown(key, *shortcut, event->isAutoRepeat(), event->modifiers() & Qt::AltModifier);
}

} // namespace tw
