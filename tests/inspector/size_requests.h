// The sizes this program asks the X server for its windows, counted where Qt asks for
// them. Under a window manager, a size a window asks for of its own while sizes given
// from outside are on their way reaches the window manager after them and undoes them.
#pragma once

#include <cstdint>

namespace tw::test {

// How many times so far this program asked for a new width or height of the X window `window`.
int sizeRequests(std::uint32_t window);

} // namespace tw::test
