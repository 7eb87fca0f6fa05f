#include "winplumb/MessageList.h"
#include "winplumb/SizingZones.h"

#include <gtest/gtest.h>

using namespace tessaly;

namespace {
const Outline kWindow{100, 100, 1100, 800}; // 1000 x 700
}

TEST(SizingZones, CornersWinOverEdgesWithinTheFivePixelBand) {
    EXPECT_EQ(HitTestZone(kWindow, 103, 797), kBottomLeft); // 3 inside the corner
    EXPECT_EQ(HitTestZone(kWindow, 110, 797), kBottom);     // 3 inside the edge, 10 from the side
    EXPECT_EQ(HitTestZone(kWindow, 105, 105), kTopLeft);    // 5 inside, exactly 5 below the top
    EXPECT_EQ(HitTestZone(kWindow, 1097, 797), kBottomRight);
    EXPECT_EQ(HitTestZone(kWindow, 1097, 103), kTopRight);
    EXPECT_EQ(HitTestZone(kWindow, 600, 98), kTop); // outside by 2: still the band
    EXPECT_EQ(HitTestZone(kWindow, 1104, 400), kRight);
    EXPECT_EQ(HitTestZone(kWindow, 96, 400), kLeft);
    EXPECT_EQ(HitTestZone(kWindow, 106, 106), kNoZone); // 6 inside every edge
    EXPECT_EQ(HitTestZone(kWindow, 600, 400), kNoZone);
    EXPECT_EQ(HitTestZone(kWindow, 94, 400), kNoZone); // 6 outside

    EXPECT_EQ(HitTestZone(Outline{0, 0, 1000, 700}, 5, 695),
              kBottomLeft); // the corner band ends here
    EXPECT_EQ(HitTestZone(Outline{0, 0, 1000, 700}, 5, 694), kLeft);
}

TEST(SizingZones, OutlinesKeepTheirLimitsExceptThroughTheTop) {
    const Outline start{100, 100, 1100, 800};
    // Right edge: a width of exactly 800 keeps the last accepted edge; 801 is taken.
    EXPECT_EQ(MoveOutline(kRight, start, 900, 0).right, 1100);
    EXPECT_EQ(MoveOutline(kRight, start, 901, 0).right, 901);
    EXPECT_EQ(MoveOutline(kLeft, start, 300, 0).left, 100);
    EXPECT_EQ(MoveOutline(kLeft, start, 299, 0).left, 299);
    EXPECT_EQ(MoveOutline(kBottom, start, 0, 700).bottom, 800);
    EXPECT_EQ(MoveOutline(kBottom, start, 0, 701).bottom, 701);
    // Corners test each edge on its own.
    EXPECT_EQ(MoveOutline(kBottomRight, start, 850, 900), (Outline{100, 100, 1100, 900}));
    EXPECT_EQ(MoveOutline(kBottomLeft, start, 50, 650), (Outline{50, 100, 1100, 800}));
    // Through the top there is no limit at all.
    EXPECT_EQ(MoveOutline(kTop, start, 0, 790), (Outline{100, 790, 1100, 800}));
    EXPECT_EQ(MoveOutline(kTopLeft, start, 1090, 790), (Outline{1090, 790, 1100, 800}));
    EXPECT_EQ(MoveOutline(kTopRight, start, 150, 20), (Outline{100, 20, 150, 800}));
    EXPECT_EQ(MoveOutline(kNoZone, start, 0, 0), start);
}

TEST(MessageList, HolesFillAndAllMessagesNarrowsOrEmpties) {
    MessageList list;
    EXPECT_FALSE(list.Matches(0x200));
    list.Add(0x200);
    list.Add(0x201);
    list.Add(0x200); // already there
    EXPECT_EQ(list.count(), 2);
    list.Delete(0x200);
    EXPECT_FALSE(list.Matches(0x200));
    EXPECT_TRUE(list.Matches(0)); // a hole matches message 0
    list.Add(0x202);              // fills the hole
    EXPECT_EQ(list.count(), 2);
    EXPECT_TRUE(list.Matches(0x202));
    for (int m = 1; m <= 100; ++m)
        list.Add(0x1000 + m); // no upper limit
    EXPECT_EQ(list.count(), 102);
    list.Add(MessageList::kAllMessages);
    EXPECT_TRUE(list.Matches(0x9999));
    list.Add(0x10);
    EXPECT_TRUE(list.Matches(0x10));
    EXPECT_FALSE(list.Matches(0x9999));
    list.Delete(MessageList::kAllMessages);
    EXPECT_FALSE(list.Matches(0x10));
}
