// The photograph of the calculator or the drawn face.
#pragma once

#include <QString>

#include <array>

namespace tw {

enum class FaceStyle { photo, drawn };

inline constexpr std::array<FaceStyle, 2> allFaceStyles = {FaceStyle::photo, FaceStyle::drawn};

QString rawValue(FaceStyle style); // "photo", "drawn"

} // namespace tw
