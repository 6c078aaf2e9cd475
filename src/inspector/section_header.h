// The pinned header of a section of the registers and program panels: the
// title in capitals on the left, an optional control on the right.
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

namespace tw {

class SectionHeader : public QWidget {
    Q_OBJECT
public:
    explicit SectionHeader(const QString& title, QWidget* trailing = nullptr, QWidget* parent = nullptr);

    void setTitle(const QString& title);
    // The title as shown: in capitals.
    QString shownTitle() const { return title_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyColours();
    void elide();
    QLabel* label_;
    QString title_;
};

} // namespace tw
