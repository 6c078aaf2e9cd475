#include "ui/menus/menu_texts.h"

namespace tw {

QString menuTitle(SkinChoice skin) {
    switch (skin) {
    case SkinChoice::automatic: return QStringLiteral("Automatic (from firmware)");
    case SkinChoice::hp16c: return QStringLiteral("16C");
    case SkinChoice::hp15c: return QStringLiteral("15C");
    case SkinChoice::hp12c: return QStringLiteral("12C");
    }
    return {};
}

QString menuTitle(FaceStyle style) {
    return style == FaceStyle::drawn ? QStringLiteral("Drawn") : QStringLiteral("Photo");
}

QString menuTitle(PDFPaper paper) { return QString::fromUtf8(displayName(paper)); }

} // namespace tw
