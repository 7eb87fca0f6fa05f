#pragma once
// Where the skinned frame control lays the pieces of its skin picture: the
// caption bar across its own width, and the thin border along the left, right
// and bottom edges of its host window. Everything in twips; every piece is
// copied at its own size, later pieces over earlier ones.

#include "base/Units.h"
#include "controls/ButtonGeometry.h"

#include <vector>

namespace tessaly {

inline constexpr int kBFormHeight = 500;

// One piece of the skin drawn with its top-left corner at (x, y).
struct SkinPiece {
    TwipsRect source;
    int x = 0;
    int y = 0;
    bool operator==(const SkinPiece&) const = default;
};

// The regions of a skin picture of pictureWidth x pictureHeight twips.
struct FrameSkin {
    int pictureWidth = 0;
    int pictureHeight = 0;

    TwipsRect BarLeftCap() const { return {0, 0, 545, 545}; }
    TwipsRect BarTile() const { return {300, 0, 300, 545}; }
    TwipsRect BarRightCap() const { return {pictureWidth - 1000, 0, 1000, 545}; }
    TwipsRect PlainBarPatch() const { return {pictureWidth - 1200, 0, 400, 545}; }
    TwipsRect LeftEdgeTile() const { return {0, 800, 60, 500}; }
    TwipsRect RightEdgeTile() const { return {pictureWidth - 60, 800, 300, 500}; }
    TwipsRect BottomEdgeTile() const { return {300, pictureHeight - 60, 300, 500}; }
    TwipsRect BottomLeftCorner() const { return {0, pictureHeight - 60, 545, 60}; }
    TwipsRect BottomRightCorner() const {
        return {pictureWidth - 500, pictureHeight - 60, 500, 60};
    }

    // The bar of a control `width` wide: tiles, then the two caps over them.
    std::vector<SkinPiece> Bar(int width) const;
    // The border of a host window of that outer size: bottom, left and right
    // edges, then the corners over them.
    std::vector<SkinPiece> Border(int hostWidth, int hostHeight) const;
    // The plain patch over the minimise button's place.
    SkinPiece Nomin(int width) const;
};

TwipsPoint BarCaptionPosition(bool hasLogo);
inline constexpr TwipsPoint kNominCaptionPosition{120, 100};

} // namespace tessaly
