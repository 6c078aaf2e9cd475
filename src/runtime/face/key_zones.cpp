#include "runtime/face/key_zones.h"

#include <algorithm>

namespace tw {

std::optional<Rect> KeyZones::rect(KeyPart part) const {
    switch (part) {
    case KeyPart::face: return face;
    case KeyPart::fLabel: return f;
    case KeyPart::gLabel: return g;
    }
    return std::nullopt;
}

std::optional<KeyPart> KeyZones::part(Point p) const {
    if (f && f->contains(p)) return KeyPart::fLabel;
    if (g && g->contains(p)) return KeyPart::gLabel;
    if (face.contains(p)) return KeyPart::face;
    return std::nullopt;
}

KeyZones KeyZones::split(const Rect& cell, bool hasF, bool hasG, double proposedTop, double proposedBottom) {
    const double top = hasF ? std::min(std::max(proposedTop, cell.minY()), cell.maxY()) : cell.minY();
    const double bottom = hasG ? std::max(top, std::min(cell.maxY(), proposedBottom)) : cell.maxY();
    KeyZones zones;
    zones.face = {cell.minX(), top, cell.width, bottom - top};
    if (hasF) zones.f = Rect{cell.minX(), cell.minY(), cell.width, top - cell.minY()};
    if (hasG) zones.g = Rect{cell.minX(), bottom, cell.width, cell.maxY() - bottom};
    return zones;
}

KeyZones KeyZones::layout(const KeySpec& key, const Rect& goldArea, const Rect& keyRect, double plainKeyHeight) {
    const double band = key.style == KeyStyle::enter ? std::min(0.3 * plainKeyHeight, 0.16 * keyRect.height)
                                                     : 0.3 * keyRect.height;
    Rect cell = keyRect;
    if (key.hasF()) {
        const double left = std::min(goldArea.minX(), keyRect.minX());
        const double right = std::max(goldArea.maxX(), keyRect.maxX());
        cell = {left, goldArea.minY(), right - left, keyRect.maxY() - goldArea.minY()};
    }
    const KeyZones split = KeyZones::split(cell, key.hasF(), key.hasG(), keyRect.minY(), keyRect.maxY() - band);
    // The split gives the heights; each zone keeps its own width.
    KeyZones zones;
    zones.face = {keyRect.minX(), split.face.y, keyRect.width, split.face.height};
    if (split.f) zones.f = Rect{goldArea.minX(), split.f->y, goldArea.width, split.f->height};
    if (split.g) zones.g = Rect{keyRect.minX(), split.g->y, keyRect.width, split.g->height};
    return zones;
}

} // namespace tw
