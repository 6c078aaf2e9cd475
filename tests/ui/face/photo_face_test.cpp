// The photograph face on photographs the tests draw: lookup and fallback, fitting,
// the part of a key a click means, pressed keys and the badge; and one key's area
// on its own: the legend tint and the shortcut badge under the pointer.
#include "ui/ui_test_support.h"

#include "runtime/catalog/calculator_model.h"
#include "runtime/face/photo_face.h"
#include "ui/face/calculator_face.h"
#include "ui/face/calculator_view.h"
#include "ui/face/face_images.h"
#include "ui/face/key_view.h"
#include "ui/face/lcd_view.h"
#include "ui/face/photo_calculator_face.h"
#include "ui/face/photo_key_area.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace tw {
namespace {

using Log = std::vector<std::string>;

QString install(const PhotoFace& face, const CalculatorModel& model) {
    const QString faces = test::useScratchDataFolder();
    const QString path = QDir(faces).filePath(QString::fromStdString(face.emptyLCDImageName) + ".png");
    EXPECT_TRUE(test::drawTestPhoto(face, model, 800).save(path));
    return path;
}

class PhotoFaceTest : public ::testing::Test {
protected:
    void SetUp() override { test::ensureApplication(); }

    void wire(PhotoCalculatorFace& face, bool withParts = true) {
        FaceCallbacks callbacks;
        callbacks.press = [this](int code) { log.push_back("press " + std::to_string(code)); };
        callbacks.release = [this](int code) { log.push_back("release " + std::to_string(code)); };
        if (withParts)
            callbacks.pressPart = [this](int code, KeyPart part) {
                log.push_back("part " + std::to_string(code) + " " + std::string(rawValue(part)));
            };
        face.setCallbacks(callbacks);
    }

    void clickAt(PhotoCalculatorFace& face, PhotoKeyArea* area, QPointF local) {
        QTest::mouseClick(face.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          area->mapTo(&face, local.toPoint()));
    }

    Log log;
};

TEST_F(PhotoFaceTest, WithoutItsPhotographTheDrawnFaceStandsInUntilShownAgain) {
    test::useScratchDataFolder();
    PhotoCalculatorFace face;
    wire(face);
    face.setModel(CalculatorModel::hp16c(), PhotoFace::hp16c());
    face.resize(900, 560);
    face.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&face));
    ASSERT_FALSE(face.showsPhoto());
    ASSERT_NE(face.fallback(), nullptr);
    EXPECT_EQ(face.fallback()->keyboardLayout(), KeyboardLayout::landscape);
    EXPECT_EQ(face.fallback()->variant(), 0);
    // Its keys play through the same callbacks.
    KeyView* key = face.fallback()->keyView(24);
    QTest::mouseClick(face.windowHandle(), Qt::LeftButton, Qt::NoModifier, key->mapTo(&face, QPoint(5, 5)));
    EXPECT_EQ(log, (Log{"press 24", "release 24"}));

    // A photograph put in place now is not looked for on every layout pass...
    install(PhotoFace::hp16c(), CalculatorModel::hp16c());
    EXPECT_FALSE(FaceImages::image(PhotoFace::hp16c().emptyLCDImageName).has_value());
    face.resize(901, 560);
    EXPECT_FALSE(face.showsPhoto());
    // ...but when the face is shown again.
    face.hide();
    face.show();
    EXPECT_TRUE(face.showsPhoto());
    EXPECT_EQ(face.fallback(), nullptr);
}

TEST_F(PhotoFaceTest, APhotographIsReadOnceAndKeptForTheProcess) {
    const QString path = install(PhotoFace::hp15c(), CalculatorModel::hp15c());
    const auto first = FaceImages::image(PhotoFace::hp15c().emptyLCDImageName);
    ASSERT_TRUE(first.has_value());
    ASSERT_TRUE(QFile::remove(path));
    const auto second = FaceImages::image(PhotoFace::hp15c().emptyLCDImageName);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(first->size(), second->size());
    // A file that does not decode is skipped like a missing one.
    const QString faces = test::useScratchDataFolder();
    QFile broken(QDir(faces).filePath(QStringLiteral("broken_face.png")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    EXPECT_FALSE(FaceImages::image("broken_face").has_value());
}

TEST_F(PhotoFaceTest, AFaceDestroyedMidPressLetsGoOfTheKeyOnce) {
    install(PhotoFace::hp15c(), CalculatorModel::hp15c());
    auto face = std::make_unique<PhotoCalculatorFace>();
    wire(*face);
    face->setModel(CalculatorModel::hp15c(), PhotoFace::hp15c());
    face->resize(1200, 600);
    face->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(face.get()));
    ASSERT_TRUE(face->showsPhoto());
    PhotoKeyArea* on = face->keyArea(30);
    ASSERT_NE(on, nullptr);
    QTest::mousePress(face->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      on->mapTo(face.get(), QPoint(on->width() / 2, on->height() / 2)));
    face.reset();
    EXPECT_EQ(log, (Log{"press 30", "release 30"}));
}

class PhotoFaceShown : public PhotoFaceTest {
protected:
    void SetUp() override {
        PhotoFaceTest::SetUp();
        install(PhotoFace::hp15c(), CalculatorModel::hp15c());
        wire(face);
        face.setModel(CalculatorModel::hp15c(), PhotoFace::hp15c());
        face.resize(1200, 600); // wider than the photograph
        face.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&face));
        ASSERT_TRUE(face.showsPhoto());
    }
    PhotoCalculatorFace face;
};

TEST_F(PhotoFaceShown, ThePhotographFitsTheSpaceCentred) {
    const double a = PhotoFace::hp15c().aspectRatio();
    QRectF photo = face.photoRect();
    if (1200.0 / 600.0 > a) {
        EXPECT_NEAR(photo.height(), 600, 1e-9);
        EXPECT_NEAR(photo.x(), (1200 - photo.width()) / 2, 1e-9);
    }
    face.resize(500, 600); // narrower
    photo = face.photoRect();
    EXPECT_NEAR(photo.width(), 500, 1e-9);
    EXPECT_NEAR(photo.y(), (600 - photo.height()) / 2, 1e-9);
    // The display lies on the photograph's display window.
    const Rect& lcd = PhotoFace::hp15c().lcd;
    EXPECT_NEAR(face.lcdView()->frame().x(), photo.x() + lcd.x * photo.width(), 1e-9);
    EXPECT_NEAR(face.lcdView()->frame().width(), lcd.width * photo.width(), 1e-9);
}

TEST_F(PhotoFaceShown, TheContextMenuEndsTheHoverLook) {
    PhotoKeyArea* eight = face.keyArea(7);
    ASSERT_NE(eight, nullptr);
    const QPoint mid(eight->width() / 2, eight->height() / 2);
    // An earlier test may have left the test mouse's button down, and moves with a
    // button down and no press go nowhere.
    QTest::mouseRelease(face.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    QTest::mouseMove(face.windowHandle(), eight->mapTo(&face, mid));
    ASSERT_TRUE(eight->hovering());
    QMenu* menu = test::openContextMenuAsOnX11(*eight, mid);
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(eight->hovering());
    menu->actions().front()->trigger();
    menu->close();
    EXPECT_FALSE(eight->hovering());
}

TEST_F(PhotoFaceShown, AClickPressesTheZoneItStartsIn) {
    PhotoKeyArea* eight = face.keyArea(7);
    ASSERT_NE(eight, nullptr);
    ASSERT_TRUE(eight->zones().has_value());
    const KeyZones zones = *eight->zones();
    ASSERT_TRUE(zones.f && zones.g);
    const auto mid = [](const Rect& r) { return QPointF(r.x + r.width / 2, r.y + r.height / 2); };
    clickAt(face, eight, mid(*zones.f));
    clickAt(face, eight, mid(*zones.g));
    clickAt(face, eight, mid(zones.face));
    EXPECT_EQ(log, (Log{"part 7 fLabel", "release 7", "part 7 gLabel", "release 7", "press 7", "release 7"}));
    log.clear();
    // ON has neither legend: its whole cell is the face.
    PhotoKeyArea* on = face.keyArea(30);
    ASSERT_NE(on, nullptr);
    clickAt(face, on, QPointF(on->width() / 2.0, 1));
    clickAt(face, on, QPointF(on->width() / 2.0, on->height() - 1));
    EXPECT_EQ(log, (Log{"press 30", "release 30", "press 30", "release 30"}));
    log.clear();
    // Without a legend callback a legend press is a plain press.
    wire(face, false);
    clickAt(face, eight, mid(*zones.f));
    EXPECT_EQ(log, (Log{"press 7", "release 7"}));
}

TEST_F(PhotoFaceShown, HeldKeysAreDrawnPushedInAndTheTurboBadgeSitsUnderTheDisplay) {
    const QRectF cap = face.capRect(25);
    const QPoint gap = QPointF(cap.center().x(), cap.top() + 0.5).toPoint();
    const int before = test::render(face).pixelColor(gap).lightness();
    face.setPressed({35}); // ENTER's lower half presses the whole key
    const int after = test::render(face).pixelColor(gap).lightness();
    EXPECT_LT(after, before - 5);
    EXPECT_FALSE(face.turboBadgeRect().isEmpty());
    EXPECT_NEAR(face.turboBadgeRect().left(), face.lcdView()->frame().left(), 1e-9);
    EXPECT_GT(face.turboBadgeRect().top(), face.lcdView()->frame().bottom());
    // The latch mark of ENTER follows 25.
    face.setLatched({25});
    const QImage latched = test::render(face);
    PhotoKeyArea* enter = face.keyArea(25);
    const QColor edge = latched.pixelColor(enter->mapTo(&face, QPoint(enter->width() / 2, 1)));
    EXPECT_LE(test::colorDistance(edge, QColor(227, 166, 58)), 30);
    EXPECT_EQ(enter->accessibleName(), QStringLiteral("ENTER, f RAN#, g LSTx"));
    EXPECT_TRUE(face.keyArea(7)->toolTip().contains(QStringLiteral(" — gold legend: f SCI — blue legend: g RAD")));
}

TEST_F(PhotoFaceShown, TheViewChoosesThePhotographOnlyInLandscape) {
    CalculatorView view;
    view.setModel(CalculatorModel::hp15c());
    view.setPhotoStyle(true);
    view.resize(1050, 1000);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.currentLayout(), KeyboardLayout::landscape);
    EXPECT_TRUE(view.wantsPhoto());
    ASSERT_NE(view.photoFace(), nullptr);
    EXPECT_EQ(view.currentFace(), view.photoFace());
    view.resize(1000, 1000);
    EXPECT_EQ(view.currentLayout(), KeyboardLayout::portrait);
    EXPECT_FALSE(view.wantsPhoto());
    EXPECT_EQ(view.currentFace(), view.drawnFace());
    EXPECT_EQ(view.drawnFace()->keyboardLayout(), KeyboardLayout::portrait);
    view.resize(1050, 1000);
    view.setPhotoStyle(false);
    EXPECT_EQ(view.currentFace(), view.drawnFace());
    view.setForcedLayout(KeyboardLayout::portrait);
    EXPECT_EQ(view.drawnFace()->keyboardLayout(), KeyboardLayout::portrait);
}

// The area of the HP-15C's 8 key (f SCI, g RAD, shortcut "8") on its own, 100 x 140,
// over a grey ground: the gold band on top, a gap, the cap, the blue band below.
class PhotoKeyHover : public ::testing::Test {
protected:
    static constexpr int kWidth = 100;
    static inline const QColor kGround{128, 128, 128};
    static inline const KeyZones kZones{Rect{0, 40, 100, 50}, Rect{0, 0, 100, 30}, Rect{0, 100, 100, 40}};

    void SetUp() override { test::ensureApplication(); }

    static KeySpec eight() {
        for (const KeySpec& key : CalculatorModel::hp15c().keys)
            if (key.code == 7) return key;
        return {};
    }

    static std::unique_ptr<PhotoKeyArea> area(const KeySpec& key, std::optional<KeyZones> zones = kZones) {
        auto made = std::make_unique<PhotoKeyArea>(key);
        made->resize(kWidth, 140);
        made->setZones(50, zones);
        made->show();
        return made;
    }

    static void pointAt(PhotoKeyArea& area, QPointF p) {
        QMouseEvent move(QEvent::MouseMove, p, area.mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&area, &move);
    }

    static void leave(PhotoKeyArea& area) {
        QEvent left(QEvent::Leave);
        QApplication::sendEvent(&area, &left);
    }

    static QImage shot(PhotoKeyArea& area) {
        QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(kGround);
        area.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }

    // The ground with `tint` laid over it at 18 %.
    static QColor tinted(const QColor& tint) {
        const auto mix = [](int ground, int over) { return int(std::lround(ground + (over - ground) * 0.18)); };
        return QColor(mix(kGround.red(), tint.red()), mix(kGround.green(), tint.green()),
                      mix(kGround.blue(), tint.blue()));
    }

    // Pixels that differ clearly from the ground, in rows [top, bottom).
    static int marked(const QImage& image, int top, int bottom) {
        int count = 0;
        for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (test::colorDistance(image.pixelColor(x, y), kGround) > 40) ++count;
        return count;
    }
};

TEST_F(PhotoKeyHover, TheLegendUnderThePointerIsTintedInItsColour) {
    auto key = area(eight());
    const QColor gold(227, 166, 58);
    const QColor blue(93, 169, 232);

    pointAt(*key, {50, 15});
    EXPECT_EQ(key->hoverPart(), KeyPart::fLabel);
    QImage image = shot(*key);
    EXPECT_LE(test::colorDistance(image.pixelColor(10, 15), tinted(gold)), 3) << image.pixelColor(10, 15).name().toStdString();
    EXPECT_EQ(image.pixelColor(10, 120), kGround); // the blue band stays as it is
    EXPECT_EQ(marked(image, 30, 100), 0);           // no badge while on a legend

    pointAt(*key, {50, 120});
    EXPECT_EQ(key->hoverPart(), KeyPart::gLabel);
    image = shot(*key);
    EXPECT_LE(test::colorDistance(image.pixelColor(10, 120), tinted(blue)), 3) << image.pixelColor(10, 120).name().toStdString();
    EXPECT_EQ(image.pixelColor(10, 15), kGround);

    // Over the cap: no tint anywhere.
    pointAt(*key, {50, 80});
    EXPECT_EQ(key->hoverPart(), KeyPart::face);
    image = shot(*key);
    for (QPoint p : {QPoint(10, 15), QPoint(10, 85), QPoint(10, 120)}) EXPECT_EQ(image.pixelColor(p), kGround);

    // Without zones there is never a tint.
    auto bare = area(eight(), std::nullopt);
    pointAt(*bare, {50, 15});
    EXPECT_TRUE(bare->hovering());
    EXPECT_FALSE(bare->hoverPart());
    EXPECT_EQ(shot(*bare).pixelColor(10, 15), kGround);
}

TEST_F(PhotoKeyHover, TheShortcutBadgeSitsOnTheCapWhileThePointerRestsOffTheLegends) {
    auto key = area(eight());
    const QImage idle = shot(*key);
    EXPECT_EQ(marked(idle, 0, 140), 0);

    // On the cap: the badge hangs from the cap's top edge, centred.
    pointAt(*key, {50, 80});
    QImage image = shot(*key);
    EXPECT_GT(marked(image, 40, 52), 20);
    EXPECT_EQ(marked(image, 0, 40), 0);
    EXPECT_EQ(marked(image, 75, 140), 0);
    EXPECT_EQ(image.pixelColor(2, 44), kGround);
    EXPECT_EQ(image.pixelColor(kWidth - 3, 44), kGround);

    // In the gap between the gold band and the cap: the badge too.
    pointAt(*key, {50, 35});
    EXPECT_FALSE(key->hoverPart());
    EXPECT_GT(marked(shot(*key), 40, 52), 20);

    // Up into the gold band: the badge goes.
    pointAt(*key, {50, 15});
    EXPECT_EQ(marked(shot(*key), 30, 140), 0);

    // The pointer leaving takes every mark away.
    pointAt(*key, {50, 80});
    leave(*key);
    EXPECT_FALSE(key->hovering());
    EXPECT_TRUE(shot(*key) == idle);

    // Without zones the badge sits at the area's top edge.
    auto bare = area(eight(), std::nullopt);
    pointAt(*bare, {50, 80});
    image = shot(*bare);
    EXPECT_GT(marked(image, 0, 12), 20);
    EXPECT_EQ(marked(image, 30, 140), 0);

    // A key without shortcuts shows no badge.
    KeySpec quiet = eight();
    quiet.shortcuts.clear();
    auto plain = area(quiet);
    pointAt(*plain, {50, 80});
    EXPECT_TRUE(plain->hovering());
    EXPECT_EQ(marked(shot(*plain), 0, 140), 0);
}

} // namespace
} // namespace tw
