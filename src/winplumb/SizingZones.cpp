#include "winplumb/SizingZones.h"

#include <cstdlib>

namespace tessaly {
namespace {

bool Near(int edge, int at) {
    return std::abs(edge - at) <= kZoneBand;
}
bool Within(int low, int at, int high) {
    return low + kZoneBand < at && at < high - kZoneBand;
}

} // namespace

int HitTestZone(const Outline& w, int x, int y) {
    if (Near(w.left, x) && Near(w.bottom, y)) return kBottomLeft;
    if (Near(w.top, y) && Near(w.left, x)) return kTopLeft;
    if (Near(w.right, x) && Near(w.bottom, y)) return kBottomRight;
    if (Near(w.right, x) && Near(w.top, y)) return kTopRight;
    if (Near(w.top, y) && Within(w.left, x, w.right)) return kTop;
    if (Near(w.right, x) && Within(w.top, y, w.bottom)) return kRight;
    if (Near(w.bottom, y) && Within(w.left, x, w.right)) return kBottom;
    if (Near(w.left, x) && Within(w.top, y, w.bottom)) return kLeft;
    return kNoZone;
}

Outline MoveOutline(int zone, Outline o, int x, int y) {
    auto right = [&] {
        if (x > o.left + kMinimumWidth) o.right = x;
    };
    auto left = [&] {
        if (o.right - x > kMinimumWidth) o.left = x;
    };
    auto bottom = [&] {
        if (y > o.top + kMinimumHeight) o.bottom = y;
    };
    switch (zone) {
    case kTop:
        o.top = y;
        break;
    case kTopRight:
        o.top = y, o.right = x;
        break;
    case kRight:
        right();
        break;
    case kBottomRight:
        right(), bottom();
        break;
    case kBottom:
        bottom();
        break;
    case kBottomLeft:
        left(), bottom();
        break;
    case kLeft:
        left();
        break;
    case kTopLeft:
        o.top = y, o.left = x;
        break;
    default:
        break;
    }
    return o;
}

} // namespace tessaly
