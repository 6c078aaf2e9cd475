// A centred placeholder: a symbol, a title and a description.
#pragma once

#include <QLabel>
#include <QWidget>

namespace tw {

class ContentUnavailable : public QWidget {
    Q_OBJECT
public:
    enum class Symbol { memoryChip, numberedList };

    ContentUnavailable(Symbol symbol, const QString& title, const QString& description, QWidget* parent = nullptr);

    void setDescription(const QString& description);
    QString title() const { return title_->text(); }
    QString description() const { return description_->text(); }

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyColours();
    QLabel* title_;
    QLabel* description_;
};

} // namespace tw
