#include "shell/ModGetTaskbarHei.h"

#include "base/Units.h"

namespace tessaly {

std::int16_t TaskbarHeightTwips(double screenHeightTwips, double twipsPerPixel,
                                int workAreaBottom) {
    const double screenPixels = screenHeightTwips / twipsPerPixel;
    return static_cast<std::int16_t>(
        RoundHalfEven((screenPixels - workAreaBottom) * twipsPerPixel));
}

} // namespace tessaly
