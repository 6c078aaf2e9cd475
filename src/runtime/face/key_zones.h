// The hit zones of one key: the key itself, and its gold and blue legends where
// the key has them.
#pragma once

#include "runtime/catalog/catalog_key.h"
#include "runtime/face/geometry.h"

#include <optional>

namespace tw {

struct KeyZones {
    Rect face;
    std::optional<Rect> f; // gold legend, above the key
    std::optional<Rect> g; // blue legend, on the key's front

    // face always; f and g when present.
    std::optional<Rect> rect(KeyPart part) const;
    // The gold zone first, then the blue one, then the face; nothing outside.
    std::optional<KeyPart> part(Point p) const;

    // Divides a cell into the three zones: the gold zone above proposedTop, the blue
    // one below proposedBottom, each only when the key has that legend.
    static KeyZones split(const Rect& cell, bool hasF, bool hasG, double proposedTop, double proposedBottom);

    // The zones of a key of the drawn face, from the area of its gold legend, its
    // key rectangle and the height of a plain key (view coordinates).
    static KeyZones layout(const KeySpec& key, const Rect& goldArea, const Rect& keyRect, double plainKeyHeight);

    bool operator==(const KeyZones&) const = default;
};

} // namespace tw
