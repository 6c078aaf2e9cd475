// How long one paint of the whole drawn face, and of the display alone, takes.
#include "core/wrapper/lcd_state.h"
#include "runtime/catalog/calculator_model.h"
#include "ui/face/calculator_face.h"
#include "ui/face/lcd_painter.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

using namespace tw;

LCDState busyDisplay() {
    LCDState lcd;
    lcd.segments = {0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F, 0x3F};
    lcd.dots[0] = true;
    lcd.commas[3] = true;
    lcd.minus = true;
    lcd.annunciatorBits = (uint64_t{1} << 6) | (uint64_t{1} << 24);
    return lcd;
}

QImage canvas(QSize size, double dpr) {
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    return image;
}

void BM_WholeFace(benchmark::State& state) {
    const double dpr = static_cast<double>(state.range(0));
    CalculatorFace face;
    face.setModel(CalculatorModel::hp15c());
    face.setLCD(busyDisplay());
    face.setPressed({24});
    face.setLatched({33});
    face.resize(1000, 620);
    QImage image = canvas(face.size(), dpr);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        face.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_WholeFace)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_DisplayAlone(benchmark::State& state) {
    const double dpr = static_cast<double>(state.range(0));
    const LCDState lcd = busyDisplay();
    const QRectF frame(10, 10, 520, 86);
    QImage image = canvas(QSize(560, 120), dpr);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paintLCD(painter, frame, lcd, CalculatorModel::hp15c(), false);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DisplayAlone)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace
