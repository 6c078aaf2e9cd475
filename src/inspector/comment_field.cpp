#include "inspector/comment_field.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

#include "inspector/long_text_wrap.h"

namespace tw {
namespace {

// The field's width as the line editor before it had it.
constexpr int kFieldWidth = 320;

// A line of text longer than this keeps its shaped glyphs: without them, each paint of
// the field (the cursor's blink) and each cursor move shape the whole line again, which
// takes time that follows its length.
constexpr int kLongestLineShapedAgain = 4096;

// Lets the lines from `block` to `last` that are long keep what their layout worked out.
void keepLongLinesShaped(QTextBlock block, const QTextBlock& last) {
    for (; block.isValid(); block = block.next()) {
        if (block.length() > kLongestLineShapedAgain) block.layout()->setCacheEnabled(true);
        if (block == last) break;
    }
}

constexpr QStringView kLf = u"\n";
constexpr QStringView kCrLf = u"\r\n";
constexpr QStringView kCr = u"\r";
constexpr QStringView kParagraphMark = u"\u2029";
constexpr QStringView kFrameStart = u"\ufdd0";
constexpr QStringView kFrameEnd = u"\ufdd1";

// Where a text document breaks the lines of `text`, and with what, in order.
std::vector<QStringView> lineEndsOf(QStringView text) {
    std::vector<QStringView> ends;
    for (qsizetype i = 0; i < text.size(); ++i) {
        switch (text[i].unicode()) {
        case u'\r':
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ends.push_back(kCrLf);
                ++i;
            } else {
                ends.push_back(kCr);
            }
            break;
        case u'\n':
            ends.push_back(kLf);
            break;
        case 0x2029:
            ends.push_back(kParagraphMark);
            break;
        case 0xfdd0:
            ends.push_back(kFrameStart);
            break;
        case 0xfdd1:
            ends.push_back(kFrameEnd);
            break;
        default:
            break;
        }
    }
    return ends;
}

} // namespace

CommentField::CommentField(QWidget* parent) : QPlainTextEdit(parent) {
    // As in a line editor: Tab moves on, Return is answered by the owner (returnPressed).
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(kWrapAtWords);
    setMinimumWidth(kFieldWidth);
    keepWrapModeFitting(*this);
    // At least as high as its lines; the room its window is given beyond that is the field's.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setScrolls(false);
    connect(document(), &QTextDocument::contentsChange, this, [this](int from, int, int added) {
        keepLongLinesShaped(document()->findBlock(from), document()->findBlock(from + added));
        if (!filling_) noteChange(from, added);
    });
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!filling_) fitHeight();
    });
}

void CommentField::setText(const QString& text) {
    if (isVisible())
        fill(text);
    else
        waiting_ = text;
}

QString CommentField::text() const {
    if (waiting_) return *waiting_;
    const QTextDocument* doc = document();
    if (!doc->isModified()) return given_;
    QString text;
    text.reserve(doc->characterCount() + qsizetype(lineEnds_.size()));
    std::size_t end = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block != doc->begin()) text += end < lineEnds_.size() ? lineEnds_[end++] : kLf;
        text += block.text();
    }
    return text;
}

void CommentField::fill(QString text) {
    waiting_.reset();
    given_ = text;
    lineEnds_ = lineEndsOf(text);
    filling_ = true;
    // A text that cannot fit the lines shown has its scroll bar before it is laid out:
    // one coming after would narrow the lines and lay the whole text out again.
    setScrolls(certainlyScrolls(text.size(), lineEnds_.size()));
    setWordWrapMode(wrapModeFor(text));
    load(text);
    filling_ = false;
    blocks_ = document()->blockCount();
    // The document breaks lines where lineEndsOf() does; were it ever otherwise, the
    // unedited text still comes back as given, and an edited one with plain line ends.
    if (lineEnds_.size() + 1 != std::size_t(blocks_)) lineEnds_.assign(std::size_t(blocks_ - 1), kLf);
    moveCursor(QTextCursor::End);
    fitHeight();
}

// The text put in the document in place of what it held, as setPlainText() does, but
// laid out once: setPlainText() lays out the whole text to select it for a format, then
// again because the format changed it.
void CommentField::load(const QString& text) {
    QTextDocument* doc = document();
    const bool undoable = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false); // the text given is where undoing stops
    doc->clear();
    QTextCursor(doc).insertText(text);
    doc->setUndoRedoEnabled(undoable);
    doc->setModified(false);
}

// A change of the document: the line ends it took out go, those it put in are plain ones.
void CommentField::noteChange(int from, int added) {
    const QTextDocument* doc = document();
    const int blocks = doc->blockCount();
    const int first = doc->findBlock(from).blockNumber();
    // The count given with a change at the end takes in the document's own last mark.
    const int end = std::min(from + added, doc->characterCount() - 1);
    const int put = doc->findBlock(end).blockNumber() - first;
    const int taken = put - (blocks - blocks_);
    blocks_ = blocks;
    if (first < 0 || taken < 0 || std::size_t(first + taken) > lineEnds_.size()) {
        lineEnds_.assign(std::size_t(blocks - 1), kLf);
        return;
    }
    const auto at = lineEnds_.erase(lineEnds_.begin() + first, lineEnds_.begin() + first + taken);
    lineEnds_.insert(at, std::size_t(put), kLf);
}

// The height the field has for lines at its size: as many as it asks for, or more when its
// window was given more room.
qreal CommentField::room() const {
    // Less the pixel the field asks for beyond its lines (fittedHeight()).
    return viewport()->height() - 2 * document()->documentMargin() - 1;
}

// Whether a text of `characters` characters and `lineEnds` line ends takes more lines than
// the field shows, known without laying it out: a line holds no more characters than the
// field has pixels across, and no line is lower than the font's.
bool CommentField::certainlyScrolls(qsizetype characters, std::size_t lineEnds) const {
    const int across = viewport()->width() +
                       (verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn ? verticalScrollBar()->sizeHint().width() : 0);
    const int lines = std::max(kMostLinesShown, int(room() / QFontMetricsF(font()).lineSpacing()) + 1);
    return lineEnds >= std::size_t(lines) || characters > qsizetype(lines) * across;
}

// The scroll bar is there exactly while the text takes more lines than shown. Never
// "as needed": one that comes while a line is typed, before the field has grown, would
// narrow the lines the field is measured by and scroll its first line away.
//
// Set again while the bar shows otherwise than it says: the scroll area lays its bar and
// viewport out a second time after a first pass that showed the bar, showing it again,
// and a policy changed while the first pass resized the viewport comes too late for that.
void CommentField::setScrolls(bool scrolls) {
    const Qt::ScrollBarPolicy policy = scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (verticalScrollBarPolicy() != policy || (isVisible() && verticalScrollBar()->isVisibleTo(this) != scrolls))
        setVerticalScrollBarPolicy(policy);
}

// The field asks for as many lines as the text takes at its least width, from one to
// kMostLinesShown, and scrolls when the text takes more than that and more than its room at
// the width it has. Only the lines up to one past those are laid out and measured.
void CommentField::fitHeight() {
    // Taking the scroll bar away or putting it back changes the width, which comes back here.
    if (!isVisible() || fitting_ || filling_) return;
    fitting_ = true;
    const QTextDocument* doc = document();
    bool scrolls = certainlyScrolls(doc->characterCount() - 1, std::size_t(doc->blockCount() - 1));
    // Whether the lines fit is judged at the width they have without a bar; a text certain
    // not to fit has its bar before it is laid out.
    setScrolls(scrolls);
    const qreal shownRoom = room();
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    qreal asked = 0; // the first kMostLinesShown lines
    qreal all = 0;
    int lines = 0;
    const auto measuring = [&] {
        return lines < kMostLinesShown || (!scrolls && all <= std::max(asked, shownRoom));
    };
    for (QTextBlock block = doc->begin(); block.isValid() && measuring(); block = block.next()) {
        (void)layout->blockBoundingRect(block); // lays the block out if it is not yet
        const QTextLayout* text = block.layout();
        for (int i = 0; i < text->lineCount() && measuring(); ++i, ++lines) {
            const qreal height = text->lineAt(i).height();
            if (lines < kMostLinesShown) asked += height;
            all += height;
        }
    }
    scrolls = scrolls || all > std::max(asked, shownRoom);
    setScrolls(scrolls);
    fitting_ = false;
    // Wider than its least, the field asks for the lines it takes at its least width, where
    // it takes the most: its window's least size holds at every width.
    if (lines < kMostLinesShown && width() > minimumWidth()) asked = std::max(asked, linesAtLeastWidth());
    const int shown = lines > 0 ? int(std::ceil(asked)) : 0;
    if (shown == linesHeight_) return;
    linesHeight_ = shown;
    updateGeometry();
    if (!resizing_) emit heightWanted();
}

// The height of the first kMostLinesShown lines of the text at the field's least width.
// Only the characters that those lines can hold are laid out: none is narrower than a pixel.
qreal CommentField::linesAtLeastWidth() const {
    const QTextDocument* doc = document();
    const qreal lineWidth = viewport()->width() - (width() - minimumWidth()) - 2 * doc->documentMargin();
    if (lineWidth <= 0) return 0;
    const qsizetype most = qsizetype(kMostLinesShown + 1) * (qsizetype(std::ceil(lineWidth)) + 1);
    qreal height = 0;
    int lines = 0;
    for (QTextBlock block = doc->begin(); block.isValid() && lines < kMostLinesShown; block = block.next()) {
        QTextLayout layout(block.text().left(most), doc->defaultFont());
        layout.setTextOption(doc->defaultTextOption());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid() && lines < kMostLinesShown;
             line = layout.createLine(), ++lines) {
            line.setLeadingIncluded(true);
            line.setLineWidth(lineWidth);
            height += line.height();
        }
        layout.endLayout();
    }
    return height;
}

int CommentField::fittedHeight() const {
    const int lines = linesHeight_ > 0 ? linesHeight_ : int(std::ceil(QFontMetricsF(font()).height()));
    const QMargins margins = contentsMargins();
    // The lines within the document's margins, and the pixel more that the editor asks
    // before it counts the last line as shown (without it, a scroll bar of one line).
    return lines + int(std::ceil(2 * document()->documentMargin())) + 1 + margins.top() + margins.bottom();
}

QSize CommentField::sizeHint() const {
    return {kFieldWidth, fittedHeight()};
}

QSize CommentField::minimumSizeHint() const {
    return {kFieldWidth, fittedHeight()};
}

void CommentField::keyPressEvent(QKeyEvent* event) {
    // Not handed on to the dialog: its default is whichever button last had the focus.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit returnPressed();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CommentField::showEvent(QShowEvent* event) {
    QPlainTextEdit::showEvent(event);
    if (waiting_)
        fill(*waiting_);
    else
        fitHeight();
}

void CommentField::hideEvent(QHideEvent* event) {
    QPlainTextEdit::hideEvent(event);
    // Closed with the editor: the field keeps the text alone, not its layout.
    if (event->spontaneous() || waiting_) return;
    waiting_ = text();
    filling_ = true;
    load(QString());
    filling_ = false;
}

void CommentField::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    // A new width wraps the lines anew; a new height gives them more room or less. The
    // window is being laid out at its new size: it takes the new height when it is done,
    // where fitting it now would lay it out again in the middle of that, and the parts
    // after the field would keep the places of the size it is leaving. A resize comes in
    // again while the lines are measured (the scroll bar comes or goes): that one leaves
    // the flag as it found it.
    const QScopedValueRollback resizing(resizing_, true);
    fitHeight();
    // The view keeps its first line as the field grows or shrinks: the line with the
    // cursor stays in view instead, as it was while the text was typed.
    ensureCursorVisible();
}

} // namespace tw
