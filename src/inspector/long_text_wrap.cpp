#include "inspector/long_text_wrap.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

namespace tw {
namespace {

bool isBreak(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator ||
           c == QChar::LineSeparator;
}

// Whether a line from `block` up to `last` (both included) holds a run too long.
bool blocksHaveRunTooLong(QTextBlock block, const QTextBlock& last) {
    for (; block.isValid(); block = block.next()) {
        if (hasRunTooLongToWrapAtWords(block.text())) return true;
        if (block == last) break;
    }
    return false;
}

} // namespace

bool hasRunTooLongToWrapAtWords(QStringView text) {
    qsizetype run = 0;
    for (const QChar c : text) {
        if (isBreak(c))
            run = 0;
        else if (++run > kLongestRunWrappedAtWords)
            return true;
    }
    return false;
}

QTextOption::WrapMode wrapModeFor(QStringView text) {
    return hasRunTooLongToWrapAtWords(text) ? QTextOption::WrapAnywhere : kWrapAtWords;
}

void keepWrapModeFitting(QPlainTextEdit& editor) {
    QTextDocument* doc = editor.document();
    // Before the editor lays out a change: only the blocks the change touched are read.
    QObject::connect(doc, &QTextDocument::contentsChange, &editor, [&editor, doc](int from, int, int added) {
        if (editor.wordWrapMode() == QTextOption::WrapAnywhere) return;
        if (blocksHaveRunTooLong(doc->findBlock(from), doc->findBlock(from + added)))
            editor.setWordWrapMode(QTextOption::WrapAnywhere);
    });
    // Back to word boundaries once no run is too long any more.
    QObject::connect(doc, &QTextDocument::contentsChanged, &editor, [&editor] {
        if (editor.wordWrapMode() == QTextOption::WrapAnywhere && !hasRunTooLongToWrapAtWords(editor.toPlainText()))
            editor.setWordWrapMode(kWrapAtWords);
    });
}

} // namespace tw
