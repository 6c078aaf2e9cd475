// The one seam through which the window creates the views that live elsewhere:
// the welcome view, the calculator face, the inspector column and the contents of
// the About and Program Info sheets. Each function answers a widget owned by
// `parent`; everything else in the window only sees these functions.
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

// The contents of the About and Program Info sheets; `sheet` is the window-modal
// dialog they sit in, and accepting it is their dismiss action.
QWidget* createAboutView(AppModel& app, QDialog* sheet);
QWidget* createProgramInfoView(AppModel& app, QDialog* sheet);

} // namespace views
} // namespace tw
