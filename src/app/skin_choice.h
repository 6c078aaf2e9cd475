// Which calculator keyboard and face to show; stored in the settings by its raw value.
#pragma once

#include <QString>

#include <array>
#include <optional>

namespace tw {

enum class SkinChoice { automatic, hp16c, hp15c, hp12c };

inline constexpr std::array<SkinChoice, 4> allSkinChoices = {SkinChoice::automatic, SkinChoice::hp16c,
                                                             SkinChoice::hp15c, SkinChoice::hp12c};

QString rawValue(SkinChoice skin);
// The choice with this raw value; nothing for any other text.
std::optional<SkinChoice> skinChoice(const QString& rawValue);

} // namespace tw
