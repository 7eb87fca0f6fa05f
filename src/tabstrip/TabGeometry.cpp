#include "tabstrip/TabGeometry.h"

#include "base/Units.h"

namespace tessaly {
namespace {

constexpr TabStyleMetrics kSlanted{25,  108, 14, 0,   14,  25,  122, 1, 123,
                                   245, 24,  6,  367, 379, 391, 403, 25};
constexpr TabStyleMetrics kRounded{32,  200, 0, 5,   0,   26,  124, 1, 125,
                                   249, 20,  7, 373, 385, 397, 409, 28};

// Hit-tests treat the strip as 25 pixels high in both styles, so the lowest
// rows of the rounded strip count as outside.
constexpr int kHitHeight = 25;

} // namespace

const TabStyleMetrics& MetricsOf(int style) {
    return style == 0 ? kSlanted : kRounded;
}

std::int32_t ComputeTabWidth(int style, int area, const CTabItems& items) {
    const TabStyleMetrics& m = MetricsOf(style);
    const std::int32_t count = items.Count();
    std::int32_t locked = 0;
    for (std::int32_t i = 0; i < count; ++i)
        locked += items.ItemAt(i)->LockSize() ? 1 : 0;
    if (locked >= count) return m.fixedWidth;
    // Style 0 gives the first tab's left slant its room; style 1 the gaps.
    const double spare =
        style == 0 ? area - 108.0 * locked - 14 : area - 200.0 * locked - 5.0 * count;
    const auto width = RoundHalfEven(spare / (count - locked));
    return static_cast<std::int32_t>(width > m.fixedWidth ? m.fixedWidth : width);
}

void LayoutTabs(int style, std::int32_t tabWidth, CTabItems& items) {
    const TabStyleMetrics& m = MetricsOf(style);
    std::int32_t x = m.firstLeft;
    for (std::int32_t i = 0; i < items.Count(); ++i) {
        CTabItem& item = *items.ItemAt(i);
        item.SetLeft(x);
        item.SetWidth(item.LockSize() ? m.fixedWidth : tabWidth);
        x += item.Width() + m.gap;
    }
}

TabHit HitTestTabs(const TabStripFrame& frame, const CTabItems& items, int x, int y) {
    if (x < 0 || x > frame.clientWidth || y < 0 || y > kHitHeight) return {kHitOutside, false};
    if (x > frame.clientWidth - frame.rightSize || x < frame.leftSize) return {kHitMargin, false};
    if (items.Count() == 0) return {kNoTab, false};
    const int u = x - frame.leftSize;
    if (u <= 14) return {0, false};
    const TabStyleMetrics& m = MetricsOf(frame.style);
    for (std::int32_t i = 0; i < items.Count(); ++i) {
        const CTabItem& item = *items.ItemAt(i);
        const int right = item.Left() + item.Width();
        if (u < item.Left() || u > right) continue;
        const int glyphLeft = right - m.glyphFromRight;
        const bool close = !item.HideButton() && u >= glyphLeft && u <= glyphLeft + kGlyphSize &&
                           y >= m.glyphTop && y <= m.glyphTop + kGlyphSize;
        return {i, close};
    }
    return {kNoTab, false};
}

std::int32_t SelectionAfterAdd(std::int32_t selected, std::int32_t count) {
    return selected > count || selected < 0 ? 0 : selected;
}

std::int32_t SelectionAfterRemove(std::int32_t selected, std::int32_t removed) {
    if (removed == selected) return 0;
    return removed < selected ? selected - 1 : selected;
}

TabPaint PlanTabPaint(int style, const CTabItem& item, bool selected, bool hovered,
                      int closeState) {
    const TabStyleMetrics& m = MetricsOf(style);
    const int left = item.Left();
    const int width = item.Width();
    TabPaint p;
    p.face = {left - m.faceOverhang, 0, width + m.faceOverhang, m.faceHeight};
    p.faceSourceX = selected ? m.faceSelectedX : hovered ? m.faceHoverX : m.faceNormalX;
    if (style == 0) {
        const int room = selected ? 26 : item.HideButton() ? 14 : 38;
        p.caption = {left, 0, width - room, m.faceHeight};
    } else {
        p.caption = {left + 12, 0, width - (item.HideButton() ? 8 : 28), m.faceHeight};
    }
    p.glyph = !item.HideButton();
    p.glyphX = left + width - m.glyphFromRight;
    p.glyphY = m.glyphTop;
    p.glyphSourceX = selected ? m.glyphSelectedX : m.glyphNormalX;
    if (hovered && closeState == kCloseOver) p.glyphSourceX = m.glyphOverX;
    if (hovered && closeState == kClosePressed) p.glyphSourceX = m.glyphPressedX;
    return p;
}

CaptionPlacement PlaceCaption(const PixelRect& box, int textWidth, int textHeight) {
    if (textWidth <= box.width) return {box, kCaptionFits};
    // Without DT_VCENTER's single line the text sits at the top of its
    // rectangle, so the rectangle itself moves down to centre it.
    const auto y = RoundHalfEven(box.y + (box.height - textHeight) / 2.0);
    return {{box.x, static_cast<int>(y), box.width, box.height}, kCaptionTooWide};
}

} // namespace tessaly
