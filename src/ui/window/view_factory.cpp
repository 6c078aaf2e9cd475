// The views created here are stand-ins until their own folders provide them;
// replacing a line below with the real view's constructor is all it takes.
#include "ui/window/view_factory.h"

#include "ui/window/placeholder_views.h"

#include <QDialog>

namespace tw::views {

QWidget* createWelcomeView(AppModel& app, QWidget* parent) { return new PlaceholderWelcomeView(app, parent); }

QWidget* createCalculatorView(AppModel& app, QWidget* parent) { return new PlaceholderCalculatorView(app, parent); }

QWidget* createInspectorView(AppModel& app, QWidget* parent) { return new PlaceholderInspectorView(app, parent); }

QWidget* createAboutView(AppModel& app, QDialog* sheet) {
    return new PlaceholderSheetView(app, QStringLiteral("Tarnwick"), sheet);
}

QWidget* createProgramInfoView(AppModel& app, QDialog* sheet) {
    return new PlaceholderSheetView(app, QStringLiteral("Program Info"), sheet);
}

} // namespace tw::views
