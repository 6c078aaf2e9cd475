// The one seam through which the window creates the views that live elsewhere:
// the welcome view, the calculator face, the inspector column and the About and
// Program Info sheets. Each function answers a widget owned by its parent;
// everything else in the window only sees these functions.
#pragma once

class QDialog;
class QWidget;

namespace tw {

class AppModel;

namespace views {

// Shown while the calculator does not run; offers the choice of a firmware file.
QWidget* createWelcomeView(AppModel& app, QWidget* parent);

// The calculator face with the computer keyboard attached to it; the window holds
// it at AppModel::faceAspectRatio().
QWidget* createCalculatorView(AppModel& app, QWidget* parent);

// The inspector column's content.
QWidget* createInspectorView(AppModel& app, QWidget* parent);

// The About and Program Info sheets: dialogs over `window`, which the window
// makes window-modal and opens; closing them is their dismiss action.
QDialog* createAboutSheet(AppModel& app, QWidget* window);
QDialog* createProgramInfoSheet(AppModel& app, QWidget* window);

} // namespace views
} // namespace tw
