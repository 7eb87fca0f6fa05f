#include "controls/BFormGeometry.h"

namespace tessaly {
namespace {

constexpr int kTileStep = 300;

// One tile more than fits, so the last one reaches past the edge.
int TileCount(int length) {
    return length / kTileStep + 1;
}

} // namespace

std::vector<SkinPiece> FrameSkin::Bar(int width) const {
    std::vector<SkinPiece> pieces;
    for (int i = 1; i <= TileCount(width); ++i)
        pieces.push_back({BarTile(), i * kTileStep, 0});
    pieces.push_back({BarLeftCap(), 0, 0});
    pieces.push_back({BarRightCap(), width - 1000, 0});
    return pieces;
}

std::vector<SkinPiece> FrameSkin::Border(int hostWidth, int hostHeight) const {
    std::vector<SkinPiece> pieces;
    for (int i = 1; i <= TileCount(hostWidth); ++i)
        pieces.push_back({BottomEdgeTile(), i * kTileStep, hostHeight - 60});
    // The side tiles start under the bar, which covers the top of the host.
    for (int i = 1; i <= TileCount(hostHeight); ++i)
        pieces.push_back({LeftEdgeTile(), 0, i * kTileStep});
    for (int i = 1; i <= TileCount(hostHeight); ++i)
        pieces.push_back({RightEdgeTile(), hostWidth - 60, i * kTileStep});
    pieces.push_back({BottomLeftCorner(), 0, hostHeight - 60});
    pieces.push_back({BottomRightCorner(), hostWidth - 500, hostHeight - 60});
    return pieces;
}

SkinPiece FrameSkin::Nomin(int width) const {
    return {PlainBarPatch(), width - 830, 0};
}

TwipsPoint BarCaptionPosition(bool hasLogo) {
    return {hasLogo ? 600 : 150, 150};
}

} // namespace tessaly
