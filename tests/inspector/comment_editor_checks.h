// What the comment editor's tests check it for at every size, and the comments they
// give it.
#pragma once

#include <QString>

namespace tw {
class CommentEditor;
}

namespace tw::test {

// Every part of the editor lies inside it, none over another, and each shows all of
// itself: the labels all their lines, the field all its lines up to the most it shows,
// without a scroll bar while they fit.
void expectEditorWhole(const CommentEditor& editor, const char* how);

// A comment of `count` words, as a user writes one about a loop.
QString commentOfWords(int count);

// The shortest such comment that takes `lines` lines in the field of `editor`, which is
// shown, at the width the field has; the field is left holding it.
QString commentOfLines(CommentEditor& editor, int lines);

} // namespace tw::test
