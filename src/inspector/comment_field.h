// The comment editor's text field: a comment of any length, wrapped over as many lines
// as it takes up to a few, and given back exactly as it came in where it was not edited.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace tw {

class CommentField : public QPlainTextEdit {
    Q_OBJECT
public:
    // The most lines the field grows to; a longer comment scrolls, unless the field is
    // given more room than that.
    static constexpr int kMostLinesShown = 8;

    explicit CommentField(QWidget* parent = nullptr);

    // The text, with the cursor at its end. A long text is laid out once, at the width
    // the field is shown with: while the field is hidden it waits.
    void setText(const QString& text);
    QString text() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Return or Enter: the comment takes no line break from the keyboard.
    void returnPressed();
    // The text changed the lines shown in number: the field asks for another height at
    // once, before the change is painted. (A new size of the field changes them too; its
    // window is then being laid out and takes the field's new height when it is done.)
    void heightWanted();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The text goes in through setText(), which keeps what the document would change.
    using QPlainTextEdit::setPlainText;

    void fill(QString text);
    void load(const QString& text);
    void noteChange(int from, int added);
    void fitHeight();
    qreal room() const;
    bool certainlyScrolls(qsizetype characters, std::size_t lineEnds) const;
    void setScrolls(bool scrolls);
    qreal linesAtLeastWidth() const;
    int fittedHeight() const;

    // The text as given: the field's own text rewrites its line ends.
    QString given_;
    std::optional<QString> waiting_;
    // How each line of the text ended, one per line break of the field's document:
    // "\n", "\r\n", "\r" and the paragraph and frame marks all break a line there.
    std::vector<QStringView> lineEnds_;
    int blocks_ = 1;
    bool filling_ = false;
    bool fitting_ = false;
    bool resizing_ = false;
    // The height of the lines shown at the field's least width, once measured.
    int linesHeight_ = 0;
};

} // namespace tw
