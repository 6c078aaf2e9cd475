// A small outlined label: "RUNNING", "PRGM", "Complex", "RESULT".
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace tw {

class Tag : public QWidget {
    Q_OBJECT
public:
    // An invalid colour draws in the palette's secondary text colour.
    explicit Tag(const QString& text = {}, const QColor& color = {}, QWidget* parent = nullptr);

    void setText(const QString& text);
    void setColor(const QColor& color);
    QString text() const { return text_; }
    QColor color() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QColor color_;
};

} // namespace tw
