// Where everything of the drawn face lies, as fractions of the offered size.
#pragma once

#include "runtime/catalog/calculator_model.h"
#include "ui/face/keyboard_layout.h"

#include <QRectF>
#include <QSizeF>

#include <string>
#include <vector>

namespace tw {

struct FaceLayout {
    KeyboardLayout layout = KeyboardLayout::landscape;
    double width = 0;
    double height = 0;
    double m = 0;      // margin unit
    double top = 0;    // height of the band that holds the display
    QRectF keyArea;
    int columns = 10;
    int rows = 4;
    double columnPitch = 0;
    double rowPitch = 0;
    double unit = 0;   // a plain cap's height
    QRectF lcd;
    QRectF bezel;
    QRectF band;       // the keyboard band's outline
    double bandLineWidth = 2;
    QRectF nameBlock;  // its height is its content's; only x, y and width are set here

    static FaceLayout make(QSizeF size, KeyboardLayout layout);

    struct Cell {
        int row = 0;
        int column = 0;
    };
    Cell cell(int code) const;
    // The gold legend strip above a key.
    QRectF stripRect(int code) const;
    QRectF capRect(const KeySpec& key) const;

    double legendFontSize() const;
    double nameFontSize() const;
    double subtitleFontSize() const;
    double turboFontSize() const;
    // The name, the subtitle and the TURBO badge, one under the other.
    double nameBlockHeight() const;

    struct Segment {
        std::string label;
        QRectF rect;
    };
    // The lines of the model's legend brackets, one per keyboard row a bracket spans.
    std::vector<Segment> bracketSegments(const CalculatorModel& model) const;
    // Keys under some bracket get smaller gold legends.
    static bool isBracketed(const CalculatorModel& model, int code);
};

} // namespace tw
