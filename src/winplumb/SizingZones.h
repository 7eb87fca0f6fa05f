#pragma once
// Resizing a borderless window by its edges: which border zone a screen point
// is in, and how a drag outline follows the pointer in that zone. Pixels, in
// screen coordinates.

namespace tessaly {

// Clockwise from the top edge; -1 is none.
enum Zone : int {
    kNoZone = -1,
    kTop = 0,
    kTopRight = 1,
    kRight = 2,
    kBottomRight = 3,
    kBottom = 4,
    kBottomLeft = 5,
    kLeft = 6,
    kTopLeft = 7,
};

struct Outline {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Outline&) const = default;
};

inline constexpr int kZoneBand = 5;       // pixels either side of an edge line
inline constexpr int kMinimumWidth = 800; // a drag keeps the outline wider than this
inline constexpr int kMinimumHeight = 600;

// Corners win over edges.
int HitTestZone(const Outline& window, int x, int y);

// The outline after the pointer moved to (x, y) in a drag of that zone. An
// edge that would make the outline 800 x 600 or smaller keeps its previous
// place; edges dragged through the top have no limit.
Outline MoveOutline(int zone, Outline outline, int x, int y);

} // namespace tessaly
