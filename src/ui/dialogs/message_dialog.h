// A window-modal alert: a title, a message and buttons in exactly the order they
// are added. The buttons are laid out here because a QDialogButtonBox reorders
// them for each desktop.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class QHBoxLayout;
class QPushButton;

namespace tw {

class WrappedText;

class MessageDialog : public QDialog {
    Q_OBJECT
public:
    enum class Role { plain, defaultAction, destructive, cancel };

    explicit MessageDialog(QWidget* parent);

    void setTitle(const QString& title);
    void setMessage(const QString& message);
    QString title() const;
    QString message() const;

    // Adds a button after the others. Its action runs, then the dialog closes.
    // The cancel button's action also runs for Escape and the window's close box.
    QPushButton* addButton(const QString& text, Role role, std::function<void()> action = {});

    QList<QPushButton*> buttons() const { return buttons_; }
    static Role roleOf(const QPushButton* button);

    // Runs once when the dialog closes, by whatever means.
    void setOnDismiss(std::function<void()> onDismiss) { onDismiss_ = std::move(onDismiss); }

    // Closes without running any action or the dismissal handler: the model
    // already cleared what the dialog showed.
    void closeQuietly();

    void reject() override;

protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;

private:
    // Shown as written, never read as markup: alerts name files and firmware as they are called.
    WrappedText* title_;
    WrappedText* message_;
    QHBoxLayout* buttonRow_;
    QList<QPushButton*> buttons_;
    std::function<void()> cancelAction_;
    std::function<void()> onDismiss_;
    bool dismissed_ = false;
};

} // namespace tw
