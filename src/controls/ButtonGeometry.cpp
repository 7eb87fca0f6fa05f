#include "controls/ButtonGeometry.h"

#include "base/Units.h"

#include <algorithm>

namespace tessaly {

FrameSize FrameSizeOf(int pictureWidthHimetric, int pictureHeightHimetric, int style) {
    const double framesPerRow = style == 0 ? 3.0 : 6.0;
    return {
        static_cast<int>(RoundHalfEven(pictureWidthHimetric / kHimetricPerPixel / framesPerRow)),
        static_cast<int>(RoundHalfEven(pictureHeightHimetric / kHimetricPerPixel))};
}

int SlotCount(int style) {
    return std::max(0, 4 * style + 4);
}

int SlotFor(int state, int style, bool value) {
    return state + 3 * style * (value ? 1 : 0);
}

int IconLayoutWidth(int iconWidthHimetric) {
    return iconWidthHimetric / 26 * kTwipsPerPixel;
}

TwipsPoint CaptionPosition(int width, int height, int textWidth, int textHeight,
                           std::optional<int> iconWidthHimetric, int state) {
    double x = width / 2.0 - textWidth / 2.0;
    if (iconWidthHimetric) x += IconLayoutWidth(*iconWidthHimetric);
    const double y = height / 2.0 - textHeight / 2.0;
    const int shift = state == kStatePressed ? kTwipsPerPixel : 0;
    return {static_cast<int>(RoundHalfEven(x)) + shift, static_cast<int>(RoundHalfEven(y)) + shift};
}

TwipsPoint IconPosition(int width, int textWidth, int iconWidthHimetric) {
    const double x = width / 2.0 - textWidth / 2.0 - IconLayoutWidth(iconWidthHimetric) / 2.0;
    return {static_cast<int>(RoundHalfEven(x)), 0};
}

} // namespace tessaly
