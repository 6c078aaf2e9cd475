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
    QString shownTitle() const { return label_->text(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyColours();
    QLabel* label_;
};

} // namespace tw
