#include "ui/dialogs/wrapped_text.h"

#include <QApplication>
#include <QEvent>
#include <QMimeData>
#include <QTextCursor>
#include <QTextOption>

#include <algorithm>
#include <cmath>

#include "inspector/long_text_wrap.h"

namespace tw {

namespace {

int ceiled(qreal length) { return int(std::ceil(length)); }

} // namespace

WrappedText::WrappedText(QWidget* parent) : QTextEdit(parent) {
    // The desktop may give labels a font of their own, and text fields another.
    const QFont labelFont = QApplication::font("QLabel");
    if (labelFont != font()) setFont(labelFont);

    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setFocusPolicy(Qt::ClickFocus); // a label's: selected by the mouse, never reached by Tab
    setUndoRedoEnabled(false);
    setAcceptRichText(false);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Between words, or anywhere in a word longer than the line; Qt breaks "anywhere" only
    // between graphemes, so an accented letter or an emoji is never split.
    setWordWrapMode(kWrapAtWords);
    document()->setDocumentMargin(0);
    // The window's background shows through, as behind a label.
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);

    measure_.setDocumentMargin(0);
    followFont();
    setTextRole(QPalette::WindowText);
}

void WrappedText::setText(const QString& text) {
    text_ = text;
    // A run too long to look for word boundaries in is cut anywhere, in a time that
    // follows its length.
    const QTextOption::WrapMode wrap = wrapModeFor(text);
    setWordWrapMode(wrap);
    QTextOption option = measure_.defaultTextOption();
    option.setWrapMode(wrap);
    measure_.setDefaultTextOption(option);
    setPlainText(text);
    measure_.setPlainText(text);
    setAccessibleName(text);
    updateGeometry();
}

void WrappedText::setTextRole(QPalette::ColorRole role) {
    setForegroundRole(role);
    followPalette();
}

// A text field draws its text in the palette's Text: that is made the role asked for, in
// each state, and again whenever the palette changes.
void WrappedText::followPalette() {
    QPalette shown = palette();
    bool changed = false;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QBrush wanted = shown.brush(group, foregroundRole());
        if (shown.brush(group, QPalette::Text) == wanted) continue;
        shown.setBrush(group, QPalette::Text, wanted);
        changed = true;
    }
    if (changed) setPalette(shown);
}

void WrappedText::followFont() {
    measure_.setDefaultFont(font());
    updateGeometry();
}

void WrappedText::changeEvent(QEvent* event) {
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) followPalette();
    else if (event->type() == QEvent::FontChange) followFont();
}

QSizeF WrappedText::laidOut(qreal width) const {
    if (measure_.textWidth() != width) measure_.setTextWidth(width);
    return {measure_.idealWidth(), measure_.size().height()};
}

bool WrappedText::hasHeightForWidth() const { return true; }

int WrappedText::heightForWidth(int width) const {
    const QMargins margins = contentsMargins();
    const int inside = std::max(0, width - margins.left() - margins.right());
    return ceiled(laidOut(inside).height()) + margins.top() + margins.bottom();
}

// As a selectable label's: a shape that reads well, at most 80 characters wide.
QSize WrappedText::sizeHint() const {
    const QMargins margins = contentsMargins();
    measure_.adjustSize();
    const QSizeF size = measure_.size();
    return {ceiled(size.width()) + margins.left() + margins.right(),
            ceiled(size.height()) + margins.top() + margins.bottom()};
}

// Its widest character wide, as high as its lines unwrapped. (Laid out narrower than a
// character, Qt gives up wrapping.)
QSize WrappedText::minimumSizeHint() const {
    const QMargins margins = contentsMargins();
    const int width = ceiled(laidOut(fontMetrics().maxWidth()).width());
    const int height = std::min(ceiled(laidOut(-1).height()), sizeHint().height());
    return {width + margins.left() + margins.right(), height + margins.top() + margins.bottom()};
}

QMimeData* WrappedText::createMimeDataFromSelection() const {
    // The document holds a paragraph separator where the text had a line feed; every other
    // character is copied as it is (a no-break space stays one).
    QString selected = textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    auto* carried = new QMimeData;
    carried->setText(selected);
    return carried;
}

} // namespace tw
