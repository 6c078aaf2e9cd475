// Tooltips that show a text as written. Qt shows a tooltip that looks like markup
// as rich text, so a step comment "<b>x</b>" would come out bold.
#pragma once

#include <QString>

namespace tw {

// A tooltip that shows `text` as written, markup-like characters, spaces and line
// breaks included, with the lines a text without markup has: each line break
// (inspector/line_breaks.h; a CR LF is one) starts a new line, and no line is wrapped
// that a plain tip would not wrap.
QString plainToolTip(const QString& text);

} // namespace tw
