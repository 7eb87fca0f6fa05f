#pragma once

#include <cstdint>

namespace tessaly::win {

// Twips per pixel of the screen (15 at 96 dots per inch).
double ScreenTwipsPerPixelY();
double ScreenTwipsPerPixelX();
// The height in twips of the screen area below the bottom of the work area.
std::int16_t GetTaskbarHeight();

} // namespace tessaly::win
