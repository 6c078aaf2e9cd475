#include "runtime/face/photo_face.h"

#include <algorithm>
#include <vector>

namespace tw {

namespace {

constexpr int kReferenceKey = 24; // a plain key whose height stands for all

// The element at count / 2 of the sorted values (the upper middle for an even
// count); 0 without values.
double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Size pitchOf(const std::map<int, Rect>& keys) {
    std::vector<double> across, down;
    for (const auto& [k, rect] : keys) {
        if (k == 25) continue;
        const auto right = keys.find(k + 1);
        if (right != keys.end() && k % 10 != 9 && k + 1 != 25) across.push_back(right->second.midX() - rect.midX());
        const auto below = keys.find(k + 10);
        if (below != keys.end() && k + 10 != 25) down.push_back(below->second.minY() - rect.minY());
    }
    return {median(across), median(down)};
}

int keyOfCell(int code) { return code == 35 ? 25 : code; }

} // namespace

PhotoFace::PhotoFace(std::string image, std::string emptyLCDImage, Size size, Rect lcdRect,
                     std::map<int, Rect> keyRects)
    : imageName(std::move(image)), emptyLCDImageName(std::move(emptyLCDImage)), pixelSize(size),
      lcd(lcdRect), keys(std::move(keyRects)), pitch(pitchOf(keys)) {}

const PhotoFace* PhotoFace::face(int modelId) {
    switch (modelId) {
    case 12: return &hp12c();
    case 15: return &hp15c();
    case 16: return &hp16c();
    default: return nullptr;
    }
}

double PhotoFace::blueBandRatio(const std::string& imageName) {
    if (imageName == "face_12c") return 0.365;
    if (imageName == "face_15c") return 0.364;
    if (imageName == "face_16c") return 0.352;
    return 0.36;
}

std::optional<Rect> PhotoFace::keyRect(int code) const {
    const auto found = keys.find(keyOfCell(code));
    if (found == keys.end()) return std::nullopt;
    return found->second;
}

const Rect* PhotoFace::neighbour(int code, int n) const {
    if (n < 0 || n >= 40) return nullptr;
    n = keyOfCell(n);
    if (n == code) return nullptr;
    const auto found = keys.find(n);
    return found == keys.end() ? nullptr : &found->second;
}

std::optional<Rect> PhotoFace::gridRect(int code) const {
    const int c = keyOfCell(code);
    const auto found = keys.find(c);
    if (found == keys.end()) return std::nullopt;
    const Rect& r = found->second;
    const int column = c % 10;

    const auto reference = keys.find(kReferenceKey);
    const double h = reference != keys.end() ? reference->second.height : r.height;
    const double gapX = std::max(0.0, pitch.width - r.width);
    const double gapY = std::max(0.0, pitch.height - h);

    // Columns share their gap in the middle; the boundary between rows lies 32 %
    // down the gap, leaving the rest to the lower key's gold legend.
    const Rect* left = column > 0 ? neighbour(c, c - 1) : nullptr;
    const double l = left ? (left->maxX() + r.minX()) * 0.5 : r.minX() - 0.5 * gapX;
    const Rect* right = column <= 8 ? neighbour(c, c + 1) : nullptr;
    const double rt = right ? (r.maxX() + right->minX()) * 0.5 : r.maxX() + 0.5 * gapX;
    const Rect* upper = neighbour(c, c - 10);
    const double t = upper ? upper->maxY() + 0.32 * (r.minY() - upper->maxY()) : r.minY() - 0.68 * gapY;
    const Rect* lower = neighbour(c, c + 10);
    if (!lower) lower = neighbour(c, c + 20);
    const double b = lower ? r.maxY() + 0.32 * (lower->minY() - r.maxY()) : r.maxY() + 0.32 * gapY;

    const double x = std::max(l, 0.0);
    const double y = std::max(t, 0.0);
    return Rect{x, y, std::min(rt, 1.0) - x, std::min(b, 1.0) - y};
}

std::optional<int> PhotoFace::keyCode(Point p) const {
    for (const auto& [code, rect] : keys)
        if (rect.contains(p)) return code;
    for (const auto& [code, rect] : keys) {
        const std::optional<Rect> cell = gridRect(code);
        if (cell && cell->contains(p)) return code;
    }
    return std::nullopt;
}

std::optional<KeyZones> PhotoFace::keyZones(const KeySpec& key) const {
    const std::optional<Rect> cell = gridRect(key.code);
    const std::optional<Rect> rect = keyRect(key.code);
    if (!cell || !rect) return std::nullopt;
    const auto reference = keys.find(kReferenceKey);
    const double h = reference != keys.end() ? reference->second.height : rect->height;
    const double ratio = blueBandRatio(imageName);
    return KeyZones::split(*cell, key.hasF(), key.hasG(), rect->minY(), rect->maxY() - h * ratio);
}

std::optional<PhotoFace::Hit> PhotoFace::hit(Point p, const CalculatorModel& model) const {
    const std::optional<int> code = keyCode(p);
    if (!code) return std::nullopt;
    const KeySpec* key = model.key(*code);
    if (!key) return std::nullopt;
    const std::optional<KeyZones> zones = keyZones(*key);
    if (!zones) return Hit{key->code, KeyPart::face};
    if (zones->f && zones->f->contains(p)) return Hit{key->code, KeyPart::fLabel};
    if (zones->g && zones->g->contains(p)) return Hit{key->code, KeyPart::gLabel};
    return Hit{key->code, KeyPart::face};
}

} // namespace tw
