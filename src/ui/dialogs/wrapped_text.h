// A text shown as a wrapped label shows it, that the user can select and copy as it reads:
// an alert's title and message, the about box's firmware line.
#pragma once

#include <QPalette>
#include <QString>
#include <QTextDocument>
#include <QTextEdit>

class QMimeData;

namespace tw {

// Wraps at the width the layout gives it, between words or, in a word longer than a line
// (a file name without spaces), between any two characters (graphemes), so that the word's
// end shows inside the window; it never scrolls and takes the height of its lines. The
// breaks are the layout's, not characters put into the text, so a copy holds the text as
// shown, whether by the keys, the context menu, the mouse selection or a drag.
class WrappedText : public QTextEdit {
    Q_OBJECT
public:
    explicit WrappedText(QWidget* parent = nullptr);

    // Shown as written, never read as markup.
    void setText(const QString& text);
    QString text() const { return text_; }

    // The role of the palette the text is drawn in: WindowText, as a label's, unless set.
    void setTextRole(QPalette::ColorRole role);

    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // What a copy, the mouse selection and a drag carry: the selected characters, with the
    // line feeds they were given, as plain text alone.
    QMimeData* createMimeDataFromSelection() const override;

protected:
    void changeEvent(QEvent* event) override;

private:
    // The text's size laid out at `width` (its used width, its height), or on one line
    // when `width` is negative.
    QSizeF laidOut(qreal width) const;
    void followPalette();
    void followFont();

    QString text_;
    // The same text laid out at the widths the layout asks about, so that the one shown
    // keeps the width it has.
    mutable QTextDocument measure_;
};

} // namespace tw
