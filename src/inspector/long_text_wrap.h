// How an editor of plain text that may be very long wraps its lines: at word
// boundaries, and anywhere while the text holds a run too long for that.
#pragma once

#include <QStringView>
#include <QTextOption>

class QPlainTextEdit;

namespace tw {

// How a long text wraps at its best: at word boundaries, and anywhere in a word
// longer than a line.
constexpr QTextOption::WrapMode kWrapAtWords = QTextOption::WrapAtWordBoundaryOrAnywhere;

// Qt looks for a word boundary to the end of a run at every line it wraps, so a run with
// none lays out in a time that grows with the square of its length (26 s for a million
// characters). A run longer than this is cut anywhere by either mode, so the editor then
// wraps anywhere, which takes a time that follows the length.
constexpr qsizetype kLongestRunWrappedAtWords = 1000;

// Whether `text` holds a run of more than kLongestRunWrappedAtWords characters without a
// space, a tab or a line end.
bool hasRunTooLongToWrapAtWords(QStringView text);

// The wrap mode for `text`, set before the text is shown so that it is laid out once.
QTextOption::WrapMode wrapModeFor(QStringView text);

// Keeps `editor`'s wrap mode fitting its text through the user's edits: a run that comes in
// too long is wrapped anywhere before the editor lays it out, and words wrap at their
// boundaries again once no run is too long.
void keepWrapModeFitting(QPlainTextEdit& editor);

} // namespace tw
