#include "base/Units.h"

#include <cmath>
#include <limits>

namespace tessaly {
namespace {

// 2^63 exactly; every double below it in magnitude converts to int64 safely.
constexpr double kInt64Bound = 9223372036854775808.0;

int ClampToInt(std::int64_t value) {
    if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

} // namespace

std::int64_t RoundHalfEven(double value) {
    // Converting a double outside the int64 range (or NaN) is undefined, and
    // these values come from stored designs and window sizes we do not control.
    if (std::isnan(value)) return 0;
    if (value >= kInt64Bound) return std::numeric_limits<std::int64_t>::max();
    if (value < -kInt64Bound) return std::numeric_limits<std::int64_t>::min();
    const double lower = std::floor(value);
    const double diff = value - lower;
    auto result = static_cast<std::int64_t>(lower);
    if (diff > 0.5 || (diff == 0.5 && result % 2 != 0)) ++result;
    return result;
}

int RoundHalfEvenToInt(double value) {
    return ClampToInt(RoundHalfEven(value));
}

int TwipsToPixels(double twips) {
    return RoundHalfEvenToInt(twips / kTwipsPerPixel);
}

int HimetricToPixels(double himetric) {
    return RoundHalfEvenToInt(himetric / kHimetricPerPixel);
}

int PixelsToHimetric(int pixels) {
    return RoundHalfEvenToInt(pixels * kHimetricPerPixel);
}

} // namespace tessaly
