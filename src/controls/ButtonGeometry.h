#pragma once
// How an image button's skin is cut and where its icon and caption go. The
// skin is a horizontal strip of equal frames (three per row; a toggle button
// has a second row for its on position, laid after the first); picture sizes
// arrive in HIMETRIC, frames are in pixels, layout is in twips.

#include <optional>

namespace tessaly {

// The looks of the button, the values of cAction and of the shown state.
inline constexpr int kStateNormal = 0;
inline constexpr int kStateHover = 1;
inline constexpr int kStatePressed = 2;
inline constexpr int kStateDisabled = 3;

struct FrameSize {
    int width = 0; // pixels
    int height = 0;
};

FrameSize FrameSizeOf(int pictureWidthHimetric, int pictureHeightHimetric, int style);

// 4 slots for a push button, 8 for a toggle; slot i starts at x = i * frame width.
// A negative style has none.
int SlotCount(int style);
// The frame for a state (0 to 3): the on position of a toggle starts at slot 3.
int SlotFor(int state, int style, bool value);

// The width an icon takes in the layout, in twips: its HIMETRIC width / 26,
// the fraction dropped, times 15.
int IconLayoutWidth(int iconWidthHimetric);

struct TwipsPoint {
    int x = 0;
    int y = 0;
    bool operator==(const TwipsPoint&) const = default;
};

// Where the caption's top-left corner goes; the pressed state moves it one pixel
// right and down. Sizes in twips; the icon's width in HIMETRIC, when there is one.
TwipsPoint CaptionPosition(int width, int height, int textWidth, int textHeight,
                           std::optional<int> iconWidthHimetric, int state);
// Where the icon's top-left corner goes: left of the caption, at the top edge
// (centred when the caption is empty, textWidth 0).
TwipsPoint IconPosition(int width, int textWidth, int iconWidthHimetric);

} // namespace tessaly
