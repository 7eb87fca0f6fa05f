#pragma once
// Where the main window's controls go for a given window size. Everything is
// in twips except the region, which is in pixels. The caption buttons keep
// their distance from the right edge, the link buttons and the tab strip from
// the inner width, and the page area fills the rest below the strip's height.
// A window smaller than the caption-button block gives negative positions,
// which are kept (the controls slide off the left edge), and negative sizes,
// which become 0.

#include "base/Units.h"

namespace tessaly {

struct MainLayout {
    int captionWidth = 0; // the caption band, at the top left
    int closeLeft = 0;
    int minMaxLeft = 0;
    int minLeft = 0;
    int toolLeft = 0;
    TwipsRect strip; // its height stays what the strip keeps
    int gameSpaceLeft = 0;
    int otherUserLeft = 0;
    TwipsRect body;      // the page container and the placeholder panel
    int regionRight = 0; // pixels, one past the last column and row
    int regionBottom = 0;
};

inline constexpr int kDesignedMainWidth = 15540; // 1036 x 639 pixels
inline constexpr int kDesignedMainHeight = 9585;
inline constexpr int kStripLeft = 2300;
inline constexpr int kStripTop = 45;
inline constexpr int kRegionEllipse = 6;

MainLayout LayoutMainWindow(int windowWidth, int innerWidth, int innerHeight, int stripHeight);

// The placeholder browser inside its panel: 2 pixels of its border hidden on
// each side.
TwipsRect PlaceholderBrowserBox(int panelInnerWidth, int panelInnerHeight);

} // namespace tessaly
