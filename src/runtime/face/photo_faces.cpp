// The three photographs, measured in unit coordinates of each image.
#include "runtime/face/photo_face.h"

#include <array>

namespace tw {

namespace {

struct Measurements {
    const char* imageName;
    const char* emptyLCDImageName;
    Size pixelSize;
    Rect lcd;
    std::array<double, 10> columnX;
    std::array<double, 4> rowY;
    Size key;
    double enterY;
    double enterHeight;
};

constexpr Measurements kHp12c = {
    "face_12c", "face_12c_nolcd", {2000, 1218}, {0.176, 0.07389, 0.472, 0.16092},
    {0.07019, 0.1595, 0.25, 0.33694, 0.42575, 0.51581, 0.60475, 0.69425, 0.7835, 0.87275},
    {0.35837, 0.51817, 0.67919, 0.84072}, {0.06, 0.08333}, 0.67734, 0.24466,
};

constexpr Measurements kHp15c = {
    "face_15c", "face_15c_nolcd", {2000, 1240}, {0.18, 0.07823, 0.47, 0.15565},
    {0.0735, 0.1625, 0.25131, 0.34037, 0.42888, 0.51663, 0.605, 0.694, 0.78287, 0.87138},
    {0.35202, 0.51048, 0.66935, 0.82944}, {0.059, 0.08468}, 0.66855, 0.24516,
};

constexpr Measurements kHp16c = {
    "face_16c", "face_16c_nolcd", {2000, 1233}, {0.1745, 0.07218, 0.4755, 0.16464},
    {0.06875, 0.15769, 0.24706, 0.336, 0.42538, 0.515, 0.6045, 0.69363, 0.78325, 0.872},
    {0.36679, 0.52818, 0.68998, 0.85036}, {0.059, 0.07786}, 0.691, 0.23682,
};

// Every key has the model's key size at its column and row; ENTER (25) stands in
// column 5 with a height of its own, and 35 has no rectangle.
PhotoFace build(const Measurements& m) {
    std::map<int, Rect> keys;
    for (int code = 0; code < 40; ++code) {
        if (code == 35) continue;
        const double x = m.columnX[static_cast<size_t>(code % 10)];
        if (code == 25)
            keys[code] = {x, m.enterY, m.key.width, m.enterHeight};
        else
            keys[code] = {x, m.rowY[static_cast<size_t>(code / 10)], m.key.width, m.key.height};
    }
    return PhotoFace(m.imageName, m.emptyLCDImageName, m.pixelSize, m.lcd, std::move(keys));
}

} // namespace

const PhotoFace& PhotoFace::hp12c() {
    static const PhotoFace face = build(kHp12c);
    return face;
}

const PhotoFace& PhotoFace::hp15c() {
    static const PhotoFace face = build(kHp15c);
    return face;
}

const PhotoFace& PhotoFace::hp16c() {
    static const PhotoFace face = build(kHp16c);
    return face;
}

} // namespace tw
