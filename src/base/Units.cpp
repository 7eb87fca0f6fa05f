#include "base/Units.h"

#include <cmath>

namespace tessaly {

std::int64_t RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double diff = value - lower;
    auto result = static_cast<std::int64_t>(lower);
    if (diff > 0.5 || (diff == 0.5 && result % 2 != 0)) ++result;
    return result;
}

int TwipsToPixels(double twips) {
    return static_cast<int>(RoundHalfEven(twips / kTwipsPerPixel));
}

int HimetricToPixels(double himetric) {
    return static_cast<int>(RoundHalfEven(himetric / kHimetricPerPixel));
}

int PixelsToHimetric(int pixels) {
    return static_cast<int>(RoundHalfEven(pixels * kHimetricPerPixel));
}

} // namespace tessaly
