// The status of a running USB job: a small busy indicator and the job's text in a
// translucent capsule, kept centred 16 pixels above the bottom of its parent.
#pragma once

#include <QWidget>

#include <optional>

class QLabel;

namespace tw {

class StatusCapsule : public QWidget {
    Q_OBJECT
public:
    explicit StatusCapsule(QWidget* parent);

    // Shows the text; an empty optional hides the capsule.
    void setStatus(const std::optional<QString>& status);
    // The text shown; empty while hidden.
    QString text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void place();

    QWidget* busy_;
    QLabel* label_;
};

} // namespace tw
