#include "runtime/face/photo_face.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tw {

namespace {

constexpr double kEps = 1e-9;

void expectRect(const std::optional<Rect>& actual, Rect expected, double eps = 1e-6) {
    ASSERT_TRUE(actual.has_value());
    EXPECT_NEAR(actual->x, expected.x, eps);
    EXPECT_NEAR(actual->y, expected.y, eps);
    EXPECT_NEAR(actual->width, expected.width, eps);
    EXPECT_NEAR(actual->height, expected.height, eps);
}

using Hit = PhotoFace::Hit;

TEST(Geometry, ContainmentIsHalfOpen) {
    const Rect r{1, 2, 3, 4};
    EXPECT_TRUE(r.contains({1, 2}));
    EXPECT_FALSE(r.contains({4, 3}));
    EXPECT_FALSE(r.contains({2, 6}));
    EXPECT_TRUE(r.contains({3.999, 5.999}));
    EXPECT_FALSE(Rect{}.contains({0, 0}));
}

TEST(PhotoFace, TablesAndLookups) {
    const PhotoFace& hp12 = PhotoFace::hp12c();
    EXPECT_EQ(hp12.imageName, "face_12c");
    EXPECT_EQ(hp12.emptyLCDImageName, "face_12c_nolcd");
    EXPECT_NEAR(hp12.aspectRatio(), 2000.0 / 1218.0, kEps);
    EXPECT_EQ(hp12.lcd, (Rect{0.176, 0.07389, 0.472, 0.16092}));
    EXPECT_EQ(hp12.keys.size(), 39u);
    EXPECT_FALSE(hp12.keys.contains(35));
    expectRect(hp12.keyRect(0), {0.07019, 0.35837, 0.06, 0.08333});
    expectRect(hp12.keyRect(39), {0.87275, 0.84072, 0.06, 0.08333});
    expectRect(hp12.keyRect(25), {0.51581, 0.67734, 0.06, 0.24466});
    EXPECT_EQ(hp12.keyRect(35), hp12.keyRect(25));
    EXPECT_EQ(hp12.keyRect(40), std::nullopt);
    expectRect(PhotoFace::hp16c().keyRect(25), {0.515, 0.691, 0.059, 0.23682});
    expectRect(PhotoFace::hp15c().keyRect(14), {0.42888, 0.51048, 0.059, 0.08468});

    EXPECT_EQ(PhotoFace::face(12), &PhotoFace::hp12c());
    EXPECT_EQ(PhotoFace::face(16), &PhotoFace::hp16c());
    EXPECT_EQ(PhotoFace::face(11), nullptr);
    EXPECT_EQ(PhotoFace::face(0), nullptr);
    EXPECT_EQ(PhotoFace::blueBandRatio("face_15c"), 0.364);
    EXPECT_EQ(PhotoFace::blueBandRatio("face_15c_nolcd"), 0.36);
}

TEST(PhotoFace, PitchIsTheMedianOfNeighbourDistances) {
    EXPECT_NEAR(PhotoFace::hp12c().pitch.width, 0.08925, kEps);
    EXPECT_NEAR(PhotoFace::hp12c().pitch.height, 0.16102, kEps);
    EXPECT_NEAR(PhotoFace::hp15c().pitch.width, 0.08887, kEps);
    EXPECT_NEAR(PhotoFace::hp15c().pitch.height, 0.15887, kEps);
    EXPECT_NEAR(PhotoFace::hp16c().pitch.width, 0.08937, kEps);
    EXPECT_NEAR(PhotoFace::hp16c().pitch.height, 0.16139, kEps);

    // Even count: the upper middle value; no neighbours: zero.
    const PhotoFace pair("x", "y", {10, 10}, {}, {{0, {0.1, 0.1, 0.1, 0.1}}, {1, {0.3, 0.1, 0.1, 0.1}}});
    EXPECT_NEAR(pair.pitch.width, 0.2, kEps);
    EXPECT_EQ(pair.pitch.height, 0.0);
}

TEST(PhotoFace, CellsReachIntoTheGaps) {
    const PhotoFace& hp12 = PhotoFace::hp12c();
    // Column 0: half the horizontal gap to the left; row 0: 0.68 of the vertical gap above.
    expectRect(hp12.gridRect(0), {0.055565, 0.305541, 0.08928, 0.16063});
    expectRect(hp12.gridRect(9), {0.858125, 0.305541, 0.08925, 0.16063});
    expectRect(hp12.gridRect(24), {0.411345, 0.626361, 0.089435, 0.161183});
    // ENTER has no key one or two rows below it: 0.32 of the gap below its own bottom.
    expectRect(hp12.gridRect(25), {0.50078, 0.625769, 0.0895, 0.321092});
    EXPECT_EQ(hp12.gridRect(35), hp12.gridRect(25));
    // The key above ENTER ends where ENTER's cell begins.
    expectRect(hp12.gridRect(15), {0.50078, 0.46617, 0.0895, 0.159598});
    expectRect(hp12.gridRect(36), {0.59028, 0.787544, 0.08922, 0.161367});
    expectRect(PhotoFace::hp16c().gridRect(39), {0.857125, 0.794246, 0.08906, 0.160703});
    EXPECT_EQ(hp12.gridRect(40), std::nullopt);

    // Neighbouring cells share their edges exactly.
    for (int code : {0, 12, 26}) {
        const Rect a = *hp12.gridRect(code), b = *hp12.gridRect(code + 1), below = *hp12.gridRect(code + 10);
        EXPECT_DOUBLE_EQ(a.maxX(), b.minX()) << code;
        EXPECT_DOUBLE_EQ(a.maxY(), below.minY()) << code;
    }
}

TEST(PhotoFace, CellsAreClampedToThePhotograph) {
    const PhotoFace edge("x", "y", {10, 10}, {}, {{0, {0.01, 0.01, 0.2, 0.2}}, {1, {0.7, 0.01, 0.2, 0.2}},
                                                  {10, {0.01, 0.5, 0.2, 0.2}}});
    // The pitch (0.69, 0.49) leaves gaps wider than the room to the edges.
    expectRect(edge.gridRect(0), {0.0, 0.0, (0.21 + 0.7) * 0.5, 0.21 + 0.32 * (0.5 - 0.21)});
    expectRect(edge.gridRect(1), {(0.21 + 0.7) * 0.5, 0.0, 1.0 - (0.21 + 0.7) * 0.5, 0.21 + 0.32 * 0.29});
}

TEST(PhotoFace, KeyAtAPoint) {
    const PhotoFace& hp12 = PhotoFace::hp12c();
    const Rect key24 = *hp12.keyRect(24);
    const Rect cell23 = *hp12.gridRect(23);
    // Inside 24's rectangle, whatever cells overlap there.
    EXPECT_EQ(hp12.keyCode({key24.minX(), key24.minY()}), 24);
    EXPECT_EQ(hp12.keyCode({key24.midX(), key24.midY()}), 24);
    // In the gap between 23 and 24 the cells split it in the middle.
    const double boundary = cell23.maxX();
    EXPECT_NEAR(boundary, (hp12.keyRect(23)->maxX() + key24.minX()) / 2, kEps);
    EXPECT_EQ(hp12.keyCode({boundary + 1e-9, key24.midY()}), 24);
    EXPECT_EQ(hp12.keyCode({boundary - 1e-9, key24.midY()}), 23);
    // Left of the leftmost cells, or below the last row.
    EXPECT_EQ(hp12.keyCode({0.01, key24.midY()}), std::nullopt);
    EXPECT_EQ(hp12.keyCode({0.5, 0.999}), std::nullopt);
    EXPECT_EQ(hp12.keyCode({0.5, 0.1}), std::nullopt);
    // The lower half of ENTER.
    const Rect enter = *hp12.keyRect(25);
    EXPECT_EQ(hp12.keyCode({enter.midX(), enter.maxY() - 0.01}), 25);
}

TEST(PhotoFace, ClicksOnLegendsAndFaces) {
    const PhotoFace& hp15 = PhotoFace::hp15c();
    const CalculatorModel& model = CalculatorModel::hp15c();
    const Rect key0 = *hp15.keyRect(0);
    const Rect cell0 = *hp15.gridRect(0);
    EXPECT_EQ(hp15.hit({key0.midX(), (cell0.minY() + key0.minY()) / 2}, model), (Hit{0, KeyPart::fLabel}));
    EXPECT_EQ(hp15.hit({key0.midX(), key0.maxY() - 0.005}, model), (Hit{0, KeyPart::gLabel}));
    EXPECT_EQ(hp15.hit({key0.midX(), key0.minY() + 0.01}, model), (Hit{0, KeyPart::face}));
    // The blue zone starts at the ratio of key 24's height above the key's bottom.
    const double blueTop = key0.maxY() - hp15.keyRect(24)->height * 0.364;
    EXPECT_EQ(hp15.hit({key0.midX(), blueTop}, model), (Hit{0, KeyPart::gLabel}));
    EXPECT_EQ(hp15.hit({key0.midX(), std::nextafter(blueTop, 0.0)}, model), (Hit{0, KeyPart::face}));
    EXPECT_EQ(hp15.hit({0.01, 0.5}, model), std::nullopt);

    // HP-12C ÷ has no legends: the gap above it is its face.
    const PhotoFace& hp12 = PhotoFace::hp12c();
    const Rect key9 = *hp12.keyRect(9);
    EXPECT_EQ(hp12.hit({key9.midX(), key9.minY() - 0.01}, CalculatorModel::hp12c()), (Hit{9, KeyPart::face}));
    // A click low on ENTER names the key 25.
    const Rect enter = *hp12.keyRect(25);
    EXPECT_EQ(hp12.hit({enter.midX(), enter.maxY() - 0.001}, CalculatorModel::hp12c()), (Hit{25, KeyPart::gLabel}));
}

TEST(PhotoFace, ZonesOfALegendlessKeyFillTheCell) {
    const PhotoFace& hp12 = PhotoFace::hp12c();
    const auto zones = hp12.keyZones(*CalculatorModel::hp12c().key(9));
    ASSERT_TRUE(zones.has_value());
    EXPECT_EQ(zones->face, *hp12.gridRect(9));
    EXPECT_FALSE(zones->f || zones->g);
    const auto gOnly = hp12.keyZones(*CalculatorModel::hp12c().key(5));
    ASSERT_TRUE(gOnly.has_value());
    EXPECT_FALSE(gOnly->f.has_value());
    EXPECT_EQ(gOnly->face.minY(), hp12.gridRect(5)->minY());
    ASSERT_TRUE(gOnly->g.has_value());
    EXPECT_DOUBLE_EQ(gOnly->g->maxY(), hp12.gridRect(5)->maxY());
}

TEST(KeyZones, SplitClampsTheProposedEdges) {
    const Rect cell{0, 0, 1, 10};
    KeyZones z = KeyZones::split(cell, true, true, 3, 7);
    EXPECT_EQ(z.f, (Rect{0, 0, 1, 3}));
    EXPECT_EQ(z.face, (Rect{0, 3, 1, 4}));
    EXPECT_EQ(z.g, (Rect{0, 7, 1, 3}));
    // A top beyond the cell and a bottom above the top collapse to empty zones.
    z = KeyZones::split(cell, true, true, 12, 2);
    EXPECT_EQ(z.f, (Rect{0, 0, 1, 10}));
    EXPECT_EQ(z.face, (Rect{0, 10, 1, 0}));
    EXPECT_EQ(z.g, (Rect{0, 10, 1, 0}));
    z = KeyZones::split(cell, false, false, 3, 7);
    EXPECT_EQ(z.face, cell);

    z = KeyZones::split(cell, true, true, 3, 7);
    EXPECT_EQ(z.part({0.5, 0}), KeyPart::fLabel);
    EXPECT_EQ(z.part({0.5, 3}), KeyPart::face);
    EXPECT_EQ(z.part({0.5, 7}), KeyPart::gLabel);
    EXPECT_EQ(z.part({0.5, 10}), std::nullopt);
    EXPECT_EQ(z.part({1, 5}), std::nullopt);
    EXPECT_EQ(z.rect(KeyPart::face), z.face);
    EXPECT_EQ(z.rect(KeyPart::gLabel), z.g);
    EXPECT_EQ(KeyZones::split(cell, false, true, 3, 7).rect(KeyPart::fLabel), std::nullopt);
}

TEST(KeyZones, DrawnFaceLayout) {
    // HP-15C √x: gold and blue legends. Gold area above the key, a little wider.
    const KeySpec& sqrt = *CalculatorModel::hp15c().key(0);
    const Rect gold{8, 0, 44, 10};
    const Rect key{10, 12, 40, 30};
    KeyZones z = KeyZones::layout(sqrt, gold, key, 30);
    EXPECT_EQ(z.f, (Rect{8, 0, 44, 12}));
    EXPECT_EQ(z.face, (Rect{10, 12, 40, 21}));
    EXPECT_EQ(z.g, (Rect{10, 33, 40, 9}));

    // ENTER: the band is the smaller of 0.3 x a plain key and 0.16 x its own height.
    const KeySpec& enter = *CalculatorModel::hp15c().key(25);
    z = KeyZones::layout(enter, {10, 0, 40, 10}, {10, 12, 40, 100}, 30);
    EXPECT_EQ(z.g, (Rect{10, 103, 40, 9}));
    z = KeyZones::layout(enter, {10, 0, 40, 10}, {10, 12, 40, 50}, 30);
    EXPECT_EQ(z.g, (Rect{10, 54, 40, 8}));

    // No legends: the key rectangle alone.
    const KeySpec& plus = *CalculatorModel::hp12c().key(39);
    z = KeyZones::layout(plus, gold, key, 30);
    EXPECT_EQ(z, (KeyZones{key, std::nullopt, std::nullopt}));
}

} // namespace

} // namespace tw
