#pragma once
// The tab strip's arithmetic, in pixels of its client area: how wide tabs are,
// where they go, what a point hits, and where each part of a tab is drawn.
// Style 0 is the 25-pixel strip of slanted tabs whose 14-pixel edges overlap;
// any other style is the 32-pixel strip of rounded tabs 5 pixels apart.

#include "tabs/CTabItems.h"

#include <cstdint>

namespace tessaly {

// Hit-test codes beside a tab position and kNoTab (-1).
inline constexpr std::int32_t kHitMargin = -2;  // in a reserved margin of the strip
inline constexpr std::int32_t kHitOutside = -3; // outside the strip

// Close glyph states of the hovered tab.
inline constexpr int kCloseNormal = 0;
inline constexpr int kCloseOver = 1;
inline constexpr int kClosePressed = 2;

struct TabStyleMetrics {
    int height;          // of the strip
    int fixedWidth;      // of a locked tab, and the most any tab gets
    int firstLeft;       // Left of the first tab
    int gap;             // between neighbouring tabs
    int faceOverhang;    // the face starts this far left of Left
    int faceHeight;      // rows of the face, in the skin and on screen
    int faceSourceWidth; // of one face in the skin
    int faceNormalX, faceHoverX, faceSelectedX;
    int glyphFromRight, glyphTop; // the glyph's left edge is Left + Width - glyphFromRight
    int glyphSelectedX, glyphNormalX, glyphOverX, glyphPressedX;
    int backgroundRows; // of the skin's background column
};

inline constexpr int kGlyphSize = 12;
// Both faces keep their ends unstretched: the slants or the rounded ends.
inline constexpr int kFaceMargin = 14;

const TabStyleMetrics& MetricsOf(int style);

// The common width of unlocked tabs in a tab area of `area` pixels
// (client width less both reserved sizes). No lower bound.
std::int32_t ComputeTabWidth(int style, int area, const CTabItems& items);
// Writes every item's Left and Width, relative to the tab area.
void LayoutTabs(int style, std::int32_t tabWidth, CTabItems& items);

struct TabStripFrame {
    int style = 0;
    int clientWidth = 0;
    int leftSize = 40;
    int rightSize = 0;
};

struct TabHit {
    std::int32_t index = kNoTab;
    bool close = false;
};
TabHit HitTestTabs(const TabStripFrame& frame, const CTabItems& items, int x, int y);

// Where the selection goes when the strip hears of an added or removed tab.
std::int32_t SelectionAfterAdd(std::int32_t selected, std::int32_t count);
std::int32_t SelectionAfterRemove(std::int32_t selected, std::int32_t removed);

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// One tab's drawing, in tab-area coordinates.
struct TabPaint {
    PixelRect face;
    int faceSourceX = 0;
    PixelRect caption;
    bool glyph = false;
    int glyphX = 0;
    int glyphY = 0;
    int glyphSourceX = 0;
};
TabPaint PlanTabPaint(int style, const CTabItem& item, bool selected, bool hovered, int closeState);

// DrawText formats of a caption: centred on one line when it fits, else left
// aligned and cut with an ellipsis.
inline constexpr unsigned kCaptionFits = 0x25;      // DT_CENTER | DT_VCENTER | DT_SINGLELINE
inline constexpr unsigned kCaptionTooWide = 0x8000; // DT_END_ELLIPSIS
struct CaptionPlacement {
    PixelRect rect;
    unsigned format = kCaptionFits;
};
CaptionPlacement PlaceCaption(const PixelRect& box, int textWidth, int textHeight);

} // namespace tessaly
