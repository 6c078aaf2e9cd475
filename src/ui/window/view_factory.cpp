// Where the window's views come from. The inspector column shows a stand-in in a
// build without the inspector's own view.
#include "ui/window/view_factory.h"

#include "ui/calculator_view.h"
#include "ui/sheet/about_view.h"
#include "ui/sheet/program_info_view.h"
#include "ui/sheet/welcome_view.h"

#ifdef TW_HAS_INSPECTOR_VIEW
#include "inspector/inspector_view.h"
#else
#include "ui/window/placeholder_views.h"
#endif

namespace tw::views {

QWidget* createWelcomeView(AppModel& app, QWidget* parent) { return new WelcomeView(app, parent); }

// The face with the computer keyboard attached (the view installs it itself).
QWidget* createCalculatorView(AppModel& app, QWidget* parent) { return new CalculatorView(app, parent); }

QWidget* createInspectorView(AppModel& app, QWidget* parent) {
#ifdef TW_HAS_INSPECTOR_VIEW
    return new InspectorView(app, parent);
#else
    return new PlaceholderInspectorView(app, parent);
#endif
}

QDialog* createAboutSheet(AppModel& app, QWidget* window) { return new AboutView(app, window); }

QDialog* createProgramInfoSheet(AppModel& app, QWidget* window) { return new ProgramInfoView(app, window); }

} // namespace tw::views
