#include "inspector/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tw {

void copyToClipboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

} // namespace tw
