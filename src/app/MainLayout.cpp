#include "app/MainLayout.h"

#include "base/Units.h"

#include <algorithm>

namespace tessaly {
namespace {

int Size(int twips) {
    return std::max(twips, 0);
}

} // namespace

MainLayout LayoutMainWindow(int windowWidth, int innerWidth, int innerHeight, int stripHeight) {
    MainLayout layout;
    layout.captionWidth = Size(windowWidth);
    layout.closeLeft = windowWidth - 730;
    layout.minMaxLeft = windowWidth - 1105;
    layout.minLeft = windowWidth - 1465;
    layout.toolLeft = windowWidth - 1825;
    layout.strip = {kStripLeft, kStripTop, Size(innerWidth - 6900), stripHeight};
    layout.gameSpaceLeft = innerWidth - 3300;
    layout.otherUserLeft = innerWidth - 4850;
    // The body starts at the strip's height, so the strip's top offset
    // overlaps it by a few pixels: the selected tab joins its page.
    layout.body = {60, stripHeight, Size(innerWidth - 120), Size(innerHeight - stripHeight - 60)};
    layout.regionRight = TwipsToPixels(Size(innerWidth)) + 1;
    layout.regionBottom = TwipsToPixels(Size(innerHeight)) + 1;
    return layout;
}

TwipsRect PlaceholderBrowserBox(int panelInnerWidth, int panelInnerHeight) {
    return {-30, -30, Size(panelInnerWidth + 60), Size(panelInnerHeight + 60)};
}

} // namespace tessaly
