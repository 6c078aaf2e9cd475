// The about box: name, version, what the application does, the loaded
// firmware and the disclaimer.
#pragma once

#include <QDialog>
#include <QString>

namespace tw {

class AppModel;
class WrappedText;

// "1.0 (1)" when the application carries no version of its own.
QString versionText(const QString& shortVersion, const QString& buildVersion);

class AboutView : public QDialog {
    Q_OBJECT
public:
    explicit AboutView(AppModel& app, QWidget* parent = nullptr);

    // The firmware line; hidden while no firmware is known.
    WrappedText* firmwareLabel() const { return firmware_; }

private:
    void follow();

    AppModel& app_;
    WrappedText* firmware_ = nullptr;
};

} // namespace tw
