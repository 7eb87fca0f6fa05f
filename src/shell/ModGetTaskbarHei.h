#pragma once
// How tall the band of the screen below the work area is (the taskbar when it
// is docked at the bottom), in twips: the borderless main window maximises
// itself to the screen minus this band.

#include <cstdint>

namespace tessaly {

// Only the work area's bottom edge counts: a taskbar at the top, left or
// right leaves nothing below the work area.
std::int16_t TaskbarHeightTwips(double screenHeightTwips, double twipsPerPixel, int workAreaBottom);

} // namespace tessaly
