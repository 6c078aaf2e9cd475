#include "inspector/one_line_text.h"

#include <utility>

#include "inspector/line_breaks.h"

namespace tw {

QString oneLineText(QString text) {
    text.replace(u'\t', u' '); // copies only a text that has a tab
    return withLineBreaksAs(std::move(text), u' ');
}

} // namespace tw
