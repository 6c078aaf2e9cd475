#include "app/face_style.h"
#include "app/skin_choice.h"

namespace tw {

QString rawValue(SkinChoice skin) {
    switch (skin) {
    case SkinChoice::automatic: return QStringLiteral("automatic");
    case SkinChoice::hp16c: return QStringLiteral("hp16c");
    case SkinChoice::hp15c: return QStringLiteral("hp15c");
    case SkinChoice::hp12c: return QStringLiteral("hp12c");
    }
    return QStringLiteral("automatic");
}

std::optional<SkinChoice> skinChoice(const QString& text) {
    for (SkinChoice s : allSkinChoices)
        if (rawValue(s) == text) return s;
    return std::nullopt;
}

QString rawValue(FaceStyle style) {
    return style == FaceStyle::drawn ? QStringLiteral("drawn") : QStringLiteral("photo");
}

} // namespace tw
