#pragma once
// Geometry units: twips (1/1440 inch), pixels and HIMETRIC (0.01 mm). The
// window layouts are designed in twips at 15 twips per pixel (96 dpi); picture
// sizes arrive in HIMETRIC. Every "round to nearest" in the program rounds a
// half to the even neighbour, as the layouts were computed that way.

#include <cstdint>

namespace tessaly {

inline constexpr int kTwipsPerPixel = 15;

struct TwipsRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipsRect&) const = default;
};

inline constexpr double kHimetricPerPixel = 26.45836;

// Nearest integer, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Values beyond the result's range give its nearest limit, NaN gives 0.
std::int64_t RoundHalfEven(double value);
int RoundHalfEvenToInt(double value);

inline constexpr int PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}
int TwipsToPixels(double twips);
int HimetricToPixels(double himetric);
int PixelsToHimetric(int pixels);

} // namespace tessaly
