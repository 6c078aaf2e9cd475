// The calculator view fed from, and playing, the application model.
#include "app/app_model.h"
#include "ui/face/calculator_view.h"
#include "ui/keyboard/hardware_keyboard.h"

#include <QPointer>

namespace tw {

CalculatorView::CalculatorView(AppModel& app, QWidget* parent) : CalculatorView(parent) {
    bind(app);
    keyboard_ = new HardwareKeyboard(app, this);
}

void CalculatorView::bind(AppModel& appModel) {
    QPointer<AppModel> app(&appModel);

    FaceCallbacks callbacks;
    callbacks.press = [app](int code) {
        if (app) app->press(code); // nothing without an engine; a latched key releases the latch
    };
    callbacks.release = [app](int code) {
        if (app) app->release(code); // through the latch, with or without an engine
    };
    callbacks.pressPart = [app](int code, KeyPart part) {
        if (app) app->press(code, part);
    };
    setCallbacks(std::move(callbacks));

    KeyLatchHandlers handlers;
    handlers.toggle = [app](int code) {
        if (!app || !app->engine()) return;
        app->apply(app->latch().toggle(code));
    };
    handlers.hold = [app](int code) {
        if (app) app->apply(app->latch().hold(code));
    };
    setLatchHandlers(std::move(handlers));

    const auto showModel = [this, app] {
        if (!app) return;
        setModel(app->model());
        setVariant(app->snapshot().variant);
    };
    const auto showSnapshot = [this, app, showModel] {
        if (!app) return;
        showModel();
        setLCD(app->snapshot().lcd);
    };
    connect(app, &AppModel::snapshotChanged, this, showSnapshot);
    connect(app, &AppModel::skinChanged, this, showModel);
    connect(app, &AppModel::pressedKeysChanged, this, [this, app] { setPressed(app->pressedKeys()); });
    connect(app, &AppModel::latchedKeysChanged, this, [this, app] { setLatched(app->latchedKeys()); });
    connect(app, &AppModel::turboChanged, this, [this, app] { setTurbo(app->turbo()); });
    connect(app, &AppModel::faceStyleChanged, this,
            [this, app] { setPhotoStyle(app->faceStyle() == FaceStyle::photo); });

    setPhotoStyle(app->faceStyle() == FaceStyle::photo);
    setPressed(app->pressedKeys());
    setLatched(app->latchedKeys());
    setTurbo(app->turbo());
    showSnapshot();
}

} // namespace tw
