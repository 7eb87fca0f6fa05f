#include "tabstrip/TabGeometry.h"

#include "tabs/TabFakes.h"

#include <gtest/gtest.h>

#include <deque>

using namespace tessaly;
using namespace tessaly::test;

namespace {

class Strip : public ::testing::Test, protected FakeTabModel {
protected:
    void AddTabs(int count, int lockedEvery = 0) {
        for (int i = 0; i < count; ++i) {
            records.emplace_back();
            items.Add(L"t", std::make_unique<FakePage>("p", i + 1, records.back(), trace));
            if (lockedEvery && i % lockedEvery == 0) items.ItemAt(i)->SetLockSize(true);
        }
    }
    // Width and layout as the control computes them for a client width.
    void Layout(int style, int clientWidth, int left, int right) {
        LayoutTabs(style, ComputeTabWidth(style, clientWidth - left - right, items), items);
    }
    std::vector<int> Lefts() const {
        std::vector<int> out;
        for (int i = 0; i < items.Count(); ++i)
            out.push_back(items.ItemAt(i)->Left());
        return out;
    }
};

} // namespace

TEST_F(Strip, TabWidthSharesTheAreaUpToTheFixedWidth) {
    EXPECT_EQ(ComputeTabWidth(0, 660, items), 108); // no tabs
    EXPECT_EQ(ComputeTabWidth(1, 660, items), 200);
    AddTabs(12);
    EXPECT_EQ(ComputeTabWidth(0, 660, items), 54); // round((660 - 14) / 12)
    EXPECT_EQ(ComputeTabWidth(1, 660, items), 50); // (660 - 5 * 12) / 12
    EXPECT_EQ(ComputeTabWidth(0, 10, items), 0);   // round(-4 / 12): no lower bound
    EXPECT_EQ(ComputeTabWidth(0, 2000, items), 108);
    EXPECT_EQ(ComputeTabWidth(1, 3000, items), 200);
}

TEST_F(Strip, LockedTabsKeepTheFixedWidthAndTheRestShare) {
    AddTabs(5, 3);                                 // tabs 0 and 3 locked
    EXPECT_EQ(ComputeTabWidth(0, 400, items), 57); // (400 - 2 * 108 - 14) / 3 = 56.67
    EXPECT_EQ(ComputeTabWidth(1, 700, items), 92); // (700 - 2 * 200 - 5 * 5) / 3 = 91.67
    for (int i = 0; i < items.Count(); ++i)
        items.ItemAt(i)->SetLockSize(true);
    EXPECT_EQ(ComputeTabWidth(0, 100, items), 108);
    EXPECT_EQ(ComputeTabWidth(1, 100, items), 200);
}

TEST_F(Strip, WidthRoundsHalvesToEven) {
    AddTabs(2);
    EXPECT_EQ(ComputeTabWidth(1, 115, items), 52); // (115 - 10) / 2 = 52.5
    EXPECT_EQ(ComputeTabWidth(1, 117, items), 54); // 53.5
    EXPECT_EQ(ComputeTabWidth(0, 123, items), 54); // (123 - 14) / 2 = 54.5
}

TEST_F(Strip, LayoutPlacesSlantedTabsEdgeToEdgeAndRoundedOnesApart) {
    AddTabs(4, 2); // tabs 0 and 2 locked
    LayoutTabs(0, 60, items);
    EXPECT_EQ(Lefts(), (std::vector<int>{14, 122, 182, 290}));
    EXPECT_EQ(items.ItemAt(1)->Width(), 60);
    EXPECT_EQ(items.ItemAt(2)->Width(), 108);
    LayoutTabs(1, 60, items);
    EXPECT_EQ(Lefts(), (std::vector<int>{0, 205, 270, 475}));
    EXPECT_EQ(items.ItemAt(2)->Width(), 200);
}

TEST_F(Strip, HitTestMarginsOutsideAndTheFirstFourteenPixels) {
    for (int style : {0, 1}) {
        SCOPED_TRACE(style);
        const TabStripFrame frame{style, 700, 10, 30};
        EXPECT_EQ(HitTestTabs(frame, items, 100, 10).index, kNoTab); // no tabs
        EXPECT_EQ(HitTestTabs(frame, items, 5, 10).index, kHitMargin);
        AddTabs(3);
        Layout(style, 700, 10, 30);
        EXPECT_EQ(HitTestTabs(frame, items, 5, 10).index, kHitMargin);
        EXPECT_EQ(HitTestTabs(frame, items, 9, 10).index, kHitMargin);
        for (int x = 10; x <= 24; ++x)
            EXPECT_EQ(HitTestTabs(frame, items, x, 10).index, 0) << x;
        EXPECT_EQ(HitTestTabs(frame, items, 671, 10).index, kHitMargin); // right margin
        EXPECT_EQ(HitTestTabs(frame, items, 700, 10).index, kHitMargin);
        EXPECT_EQ(HitTestTabs(frame, items, 701, 10).index, kHitOutside);
        EXPECT_EQ(HitTestTabs(frame, items, -1, 10).index, kHitOutside);
        EXPECT_EQ(HitTestTabs(frame, items, 100, -1).index, kHitOutside);
        EXPECT_NE(HitTestTabs(frame, items, 100, 25).index, kHitOutside);
        // The rounded strip is 32 pixels high, yet its lowest rows are outside.
        for (int y = 26; y <= 32; ++y)
            EXPECT_EQ(HitTestTabs(frame, items, 100, y).index, kHitOutside) << y;
        EXPECT_EQ(HitTestTabs(frame, items, 669, 10).index, kNoTab); // past the last tab
        items.Clear();
    }
}

TEST_F(Strip, HitTestTabBoundariesAndCloseZones) {
    AddTabs(3);
    const TabStripFrame slanted{0, 700, 40, 0};
    Layout(0, 700, 40, 0); // width 108: tabs at 14, 122, 230
    // u = Left + Width of tab 0 still belongs to tab 0; the next pixel to tab 1.
    EXPECT_EQ(HitTestTabs(slanted, items, 40 + 122, 20).index, 0);
    EXPECT_EQ(HitTestTabs(slanted, items, 40 + 123, 20).index, 1);
    // Tab 1's glyph zone: u 206..218, y 6..18.
    const auto closeAt = [&](const TabStripFrame& f, int u, int y) {
        return HitTestTabs(f, items, f.leftSize + u, y).close;
    };
    EXPECT_TRUE(closeAt(slanted, 206, 6));
    EXPECT_TRUE(closeAt(slanted, 218, 18));
    EXPECT_FALSE(closeAt(slanted, 205, 10));
    EXPECT_FALSE(closeAt(slanted, 219, 10));
    EXPECT_FALSE(closeAt(slanted, 210, 5));
    EXPECT_FALSE(closeAt(slanted, 210, 19));
    items.ItemAt(1)->SetHideButton(true);
    EXPECT_FALSE(closeAt(slanted, 210, 10));
    EXPECT_EQ(HitTestTabs(slanted, items, 40 + 210, 10).index, 1);

    const TabStripFrame rounded{1, 700, 40, 0};
    Layout(1, 700, 40, 0); // width 200: tabs at 0, 205, 410
    EXPECT_EQ(HitTestTabs(rounded, items, 40 + 202, 10).index, kNoTab); // in a gap
    EXPECT_TRUE(closeAt(rounded, 180, 7)); // tab 0: u 180..192, y 7..19
    EXPECT_TRUE(closeAt(rounded, 192, 19));
    EXPECT_FALSE(closeAt(rounded, 193, 10));
    EXPECT_FALSE(closeAt(rounded, 185, 20));
    EXPECT_FALSE(closeAt(rounded, 185, 6));
    EXPECT_TRUE(closeAt(rounded, 590, 12)); // tab 2
}

TEST(StripSelection, RepairAfterRemovalAndAddition) {
    // Tabs 0 to 3 with tab 2 selected.
    EXPECT_EQ(SelectionAfterRemove(2, 3), 2);
    EXPECT_EQ(SelectionAfterRemove(2, 2), 0);
    EXPECT_EQ(SelectionAfterRemove(2, 0), 1);
    EXPECT_EQ(SelectionAfterRemove(0, 0), 0); // the last tab gone: still 0
    EXPECT_EQ(SelectionAfterAdd(-1, 1), 0);
    EXPECT_EQ(SelectionAfterAdd(1, 4), 1);
    EXPECT_EQ(SelectionAfterAdd(4, 4), 4);
    EXPECT_EQ(SelectionAfterAdd(5, 4), 0);
}

TEST_F(Strip, PaintPlanPicksFacesCaptionsAndGlyphs) {
    AddTabs(1);
    CTabItem& item = *items.ItemAt(0);
    item.SetLeft(14);
    item.SetWidth(100);
    TabPaint p = PlanTabPaint(0, item, false, false, kCloseNormal);
    EXPECT_EQ(p.face, (PixelRect{0, 0, 114, 25}));
    EXPECT_EQ(p.caption, (PixelRect{14, 0, 62, 25}));
    EXPECT_EQ(p.glyphX, 90);
    EXPECT_EQ(p.glyphSourceX, 379);
    EXPECT_EQ(PlanTabPaint(0, item, false, true, kCloseOver).faceSourceX, 123);
    // The glyph state belongs to the hovered tab only.
    EXPECT_EQ(PlanTabPaint(0, item, true, true, kClosePressed).glyphSourceX, 403);
    EXPECT_EQ(PlanTabPaint(0, item, true, false, kClosePressed).glyphSourceX, 367);
    item.SetHideButton(true);
    EXPECT_EQ(PlanTabPaint(0, item, true, false, 0).caption.width,
              74); // the selected tab's room either way
    EXPECT_EQ(PlanTabPaint(0, item, false, false, 0).caption.width, 86);
    EXPECT_FALSE(PlanTabPaint(0, item, false, false, 0).glyph);

    item.SetLeft(0);
    item.SetHideButton(false);
    p = PlanTabPaint(1, item, false, true, kCloseOver);
    EXPECT_EQ(p.face, (PixelRect{0, 0, 100, 26}));
    EXPECT_EQ(p.faceSourceX, 125);
    EXPECT_EQ(p.caption, (PixelRect{12, 0, 72, 26}));
    EXPECT_EQ(p.glyphX, 80);
    EXPECT_EQ(p.glyphY, 7);
    EXPECT_EQ(p.glyphSourceX, 397);
}

TEST(StripCaption, FitsCentredOrCutLeftAlignedAndCentredByOffset) {
    const PixelRect box{14, 0, 62, 25};
    EXPECT_EQ(PlaceCaption(box, 62, 13).rect, box);
    EXPECT_EQ(PlaceCaption(box, 62, 13).format, kCaptionFits);
    const CaptionPlacement cut = PlaceCaption(box, 63, 13);
    EXPECT_EQ(cut.format, kCaptionTooWide);
    EXPECT_EQ(cut.rect, (PixelRect{14, 6, 62, 25}));
    EXPECT_EQ(PlaceCaption(box, 99, 14).rect.y, 6);             // 5.5
    EXPECT_EQ(PlaceCaption({12, 0, 72, 26}, 99, 13).rect.y, 6); // 6.5
    EXPECT_EQ(PlaceCaption({12, 0, 72, 26}, 99, 15).rect.y, 6); // 5.5
}
