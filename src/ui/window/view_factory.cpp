// Where the window's views come from: the one place that names their classes.
#include "ui/window/view_factory.h"

#include "inspector/inspector_view.h"
#include "ui/face/calculator_view.h"
#include "ui/sheet/about_view.h"
#include "ui/sheet/program_info_view.h"
#include "ui/sheet/welcome_view.h"

namespace tw::views {

QWidget* createWelcomeView(AppModel& app, QWidget* parent) { return new WelcomeView(app, parent); }

// The face with the computer keyboard attached (the view installs it itself).
QWidget* createCalculatorView(AppModel& app, QWidget* parent) { return new CalculatorView(app, parent); }

QWidget* createInspectorView(AppModel& app, QWidget* parent) { return new InspectorView(app, parent); }

QDialog* createAboutSheet(AppModel& app, QWidget* window) { return new AboutView(app, window); }

QDialog* createProgramInfoSheet(AppModel& app, QWidget* window) { return new ProgramInfoView(app, window); }

} // namespace tw::views
