// A text that wraps inside a window however long its words are: a file name with
// no spaces, in an alert or in the about box.
#pragma once

#include <QString>

namespace tw {

// `text` with a zero-width space between every two characters (graphemes) of a run
// without spaces longer than a line holds, so that a label wraps it at its edge, its
// end shown, rather than growing its window past the screen; shorter runs wrap as
// words do. The spaces show as nothing, but come along when the label's text is copied.
QString breakableText(const QString& text);

} // namespace tw
