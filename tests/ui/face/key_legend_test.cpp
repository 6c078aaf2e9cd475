// The drawn keys' blue legends as a reader sees them.
#include "ui/ui_test_support.h"

#include "runtime/catalog/calculator_model.h"
#include "ui/face/calculator_face.h"
#include "ui/face/calculator_view.h"
#include "ui/face/face_paint.h"
#include "ui/face/key_view.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <optional>

namespace tw {
namespace {

// The topmost row holding the legend's blue, and whether any of it lies above `limit`.
struct Ink {
    std::optional<int> top;
    bool above = false;
};

Ink blueInk(KeyView& key, const QColor& blue, double limit) {
    const QImage image = test::render(key);
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            // The legend's blue, also where it is blended with the strip at its edges.
            const QColor c = image.pixelColor(x, y);
            if (c.blue() - c.red() < (blue.blue() - blue.red()) / 2) continue;
            if (!ink.top) ink.top = y;
            if (y < limit) ink.above = true;
        }
    return ink;
}

// The HP-12C's "x̂,r": the circumflex stands on its x inside the blue strip, at the
// default window's size as at larger ones, not high over the key cap.
TEST(KeyLegends, TheCircumflexSitsOnItsLetterAtEverySize) {
    test::ensureApplication();
    const CalculatorModel& model = CalculatorModel::hp12c();
    const QColor blue = rgbColor(model.colors.gLegend);
    for (const int width : {580, 700, 1000, 1400}) { // 580: the face beside the inspector at the default size
        CalculatorView view;
        view.setModel(model);
        view.resize(width, width * 62 / 100);
        view.show();
        QCoreApplication::processEvents();
        KeyView* key = view.drawnFace()->keyView(26);
        ASSERT_NE(key, nullptr);
        ASSERT_EQ(qText(key->key().g), QString::fromUtf8("x\u0302,r"));
        const double strip = key->height() - key->stripHeight();
        const Ink marked = blueInk(*key, blue, strip);
        EXPECT_FALSE(marked.above) << "width " << width;

        // The same key without the mark: the circumflex adds ink just above the x.
        KeySpec bare = key->key();
        bare.g = "x,r";
        KeyView plain(bare, model.colors);
        plain.setUnit(key->unit());
        plain.resize(key->size());
        const Ink unmarked = blueInk(plain, blue, strip);
        ASSERT_TRUE(marked.top && unmarked.top);
        EXPECT_LE(*marked.top, *unmarked.top - 2) << "width " << width;
    }
}

} // namespace
} // namespace tw
