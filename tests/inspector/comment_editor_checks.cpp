#include "inspector/comment_editor_checks.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QScrollBar>
#include <QStringList>

#include "inspector/comment_editor.h"
#include "inspector/comment_field.h"
#include "inspector/inspector_fixtures.h"
#include "support/shows_whole.h"

namespace tw::test {

void expectEditorWhole(const CommentEditor& editor, const char* how) {
    const CommentField& field = *editor.field();
    SCOPED_TRACE(how);
    expectShowsWhole(editor, {&field});
    EXPECT_EQ(editor.findChildren<QPushButton*>().size(), 3);
    EXPECT_GE(field.height(), field.minimumSizeHint().height());
    if (linesOf(field) <= CommentField::kMostLinesShown) {
        EXPECT_EQ(field.verticalScrollBar()->maximum(), 0);
        EXPECT_FALSE(field.verticalScrollBar()->isVisibleTo(&field));
        EXPECT_EQ(field.cursorForPosition({0, 0}).position(), 0); // the first line is in view
    }
}

QString commentOfWords(int count) {
    static const QStringList words = {"Loop", "back", "to", "the", "start", "while", "the", "balance",
                                      "stays", "above", "zero;", "each", "pass", "pays", "one", "month."};
    QString text;
    for (int i = 0; i < count; ++i) text += (text.isEmpty() ? "" : " ") + words[i % words.size()];
    return text;
}

QString commentOfLines(CommentEditor& editor, int lines) {
    QString text;
    for (int words = 1; linesOf(*editor.field()) < lines; ++words) {
        text = commentOfWords(words);
        editor.setDraft(text);
    }
    return text;
}

} // namespace tw::test
