// The two arrangements of the drawn keyboard.
#pragma once

namespace tw {

// Landscape is the calculator's own 4 x 10 keyboard; portrait stacks its two halves, 8 x 5.
enum class KeyboardLayout { landscape, portrait };

// Portrait while the offered area is less than 1.05 times as wide as high.
inline KeyboardLayout chooseKeyboardLayout(double width, double height) {
    return width < 1.05 * height ? KeyboardLayout::portrait : KeyboardLayout::landscape;
}

} // namespace tw
