// A plain stand-in for the inspector column, so that the window runs before the
// inspector's own view is wired in. view_factory.cpp is the only user.
#pragma once

#include <QWidget>

class QLabel;

namespace tw {

class AppModel;

class PlaceholderInspectorView : public QWidget {
    Q_OBJECT
public:
    PlaceholderInspectorView(AppModel& app, QWidget* parent);

private:
    void refresh();

    AppModel& app_;
    QLabel* text_;
};

} // namespace tw
