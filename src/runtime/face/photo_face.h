// Where the display and the keys lie on each model's photograph, in unit
// coordinates (fractions of the photograph's width and height, origin top-left),
// and what a click on the photograph presses.
#pragma once

#include "runtime/catalog/calculator_model.h"
#include "runtime/face/geometry.h"
#include "runtime/face/key_zones.h"

#include <map>
#include <optional>
#include <string>

namespace tw {

struct PhotoFace {
    std::string imageName;
    std::string emptyLCDImageName; // the same photograph with the display empty
    Size pixelSize;
    Rect lcd;
    std::map<int, Rect> keys; // 39 keys; 35 has no entry
    Size pitch;               // typical distance between neighbouring keys

    struct Hit {
        int code = 0;
        KeyPart part = KeyPart::face;
        bool operator==(const Hit&) const = default;
    };

    // Computes the pitch from the key rectangles.
    PhotoFace(std::string imageName, std::string emptyLCDImageName, Size pixelSize, Rect lcd,
              std::map<int, Rect> keys);

    static const PhotoFace& hp12c();
    static const PhotoFace& hp15c();
    static const PhotoFace& hp16c();
    // 12, 15 and 16 have a photograph; null for any other id.
    static const PhotoFace* face(int modelId);
    // Of the blue legend band, as a fraction of a plain key's height; by image name.
    static double blueBandRatio(const std::string& imageName);

    double aspectRatio() const { return pixelSize.width / pixelSize.height; }
    // 35 is read as 25.
    std::optional<Rect> keyRect(int code) const;
    // The key's rectangle grown into the gaps around it.
    std::optional<Rect> gridRect(int code) const;
    // The key under a point: its rectangle first, then its cell.
    std::optional<int> keyCode(Point p) const;
    std::optional<KeyZones> keyZones(const KeySpec& key) const;
    // The key and the part of it that a click at the point presses.
    std::optional<Hit> hit(Point p, const CalculatorModel& model) const;

private:
    const Rect* neighbour(int code, int n) const;
};

} // namespace tw
