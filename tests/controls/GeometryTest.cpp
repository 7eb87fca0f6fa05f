#include "base/Units.h"
#include "controls/BFormGeometry.h"
#include "controls/ButtonGeometry.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tessaly;

namespace {

// A skin's size in HIMETRIC, as a picture of that many pixels reports it.
FrameSize Frames(int widthPixels, int heightPixels, int style) {
    return FrameSizeOf(PixelsToHimetric(widthPixels), PixelsToHimetric(heightPixels), style);
}

std::vector<int> XsOf(const std::vector<SkinPiece>& pieces, const TwipsRect& source) {
    std::vector<int> xs;
    for (const SkinPiece& p : pieces)
        if (p.source == source) xs.push_back(p.x);
    return xs;
}

} // namespace

TEST(ButtonGeometry, SkinsAreCutIntoFramesAndSlotsPerStyleAndValue) {
    // Push button, three frames of 24 x 18; the disabled slot lies beyond the picture.
    EXPECT_EQ(Frames(72, 18, 0).width, 24);
    EXPECT_EQ(Frames(72, 18, 0).height, 18);
    EXPECT_EQ(SlotCount(0), 4);
    EXPECT_EQ(SlotFor(kStateDisabled, 0, false) * 24, 72);
    EXPECT_EQ(SlotFor(kStatePressed, 0, true), 2); // Value means nothing to a push button
    // Toggle, six frames of 25 x 18: on uses slots 3 to 5 (and 6 disabled); a
    // disabled toggle that is off shows the first frame of the on position.
    EXPECT_EQ(Frames(150, 18, 1).width, 25);
    EXPECT_EQ(SlotCount(1), 8);
    EXPECT_EQ(SlotFor(kStateNormal, 1, true), 3);
    EXPECT_EQ(SlotFor(kStatePressed, 1, true), 5);
    EXPECT_EQ(SlotFor(kStateDisabled, 1, true), 6);
    EXPECT_EQ(SlotFor(kStateDisabled, 1, false), 3);
    // 13 x 22 is no multiple of three: 4.33 pixels round to 4.
    EXPECT_EQ(Frames(13, 22, 0).width, 4);
    EXPECT_EQ(Frames(13, 22, 0).height, 22);
    // The answer buttons' skin, 225 x 22: three frames of 75.
    EXPECT_EQ(Frames(225, 22, 0).width, 75);
    // Any style but 0 reads six frames a row; a negative style has no slots.
    EXPECT_EQ(Frames(150, 18, 2).width, 25);
    EXPECT_EQ(SlotCount(-1), 0);
    EXPECT_EQ(SlotCount(-5), 0);
}

TEST(ButtonGeometry, IconLeftOfTheCaptionAndThePressedCaptionOnePixelOn) {
    // A 16-pixel icon (423 HIMETRIC) takes 240 twips; control 1200 wide, caption 600.
    EXPECT_EQ(IconLayoutWidth(423), 240);
    EXPECT_EQ(IconPosition(1200, 600, 423), (TwipsPoint{180, 0}));
    EXPECT_EQ(CaptionPosition(1200, 330, 600, 180, 423, kStateHover), (TwipsPoint{540, 75}));
    // Pressed: only the caption moves.
    EXPECT_EQ(CaptionPosition(1200, 330, 600, 180, 423, kStatePressed), (TwipsPoint{555, 90}));
    // No icon: centred; an empty caption with an icon: the icon centred at the top.
    EXPECT_EQ(CaptionPosition(1200, 330, 600, 180, std::nullopt, kStateNormal),
              (TwipsPoint{300, 75}));
    EXPECT_EQ(IconPosition(1200, 0, 423), (TwipsPoint{480, 0}));
    // Halves go to the even neighbour: 975 / 2 - 195 / 2 = 390; 375 / 2 - 165 / 2 = 105.
    EXPECT_EQ(CaptionPosition(975, 375, 195, 165, std::nullopt, kStateNormal),
              (TwipsPoint{390, 105}));
    EXPECT_EQ(CaptionPosition(990, 375, 195, 180, std::nullopt, kStateNormal).x, 398); // 397.5
    EXPECT_EQ(CaptionPosition(960, 375, 195, 180, std::nullopt, kStateNormal).x, 382); // 382.5
}

TEST(BFormGeometry, BarOfA4575TwipControl) {
    const FrameSkin skin{1410, 1275}; // 94 x 85 pixels
    const std::vector<SkinPiece> bar = skin.Bar(4575);
    std::vector<int> expected;
    for (int x = 300; x <= 4800; x += 300)
        expected.push_back(x);
    EXPECT_EQ(XsOf(bar, skin.BarTile()), expected); // 16 tiles
    // The caps come last, over the tiles.
    ASSERT_EQ(bar.size(), 18u);
    EXPECT_EQ(bar[16], (SkinPiece{{0, 0, 545, 545}, 0, 0}));
    EXPECT_EQ(bar[17], (SkinPiece{{410, 0, 1000, 545}, 3575, 0}));
    EXPECT_EQ(BarCaptionPosition(false), (TwipsPoint{150, 150}));
    EXPECT_EQ(BarCaptionPosition(true), (TwipsPoint{600, 150}));
    EXPECT_EQ(skin.Nomin(4575), (SkinPiece{{210, 0, 400, 545}, 3745, 0}));
}

TEST(BFormGeometry, BorderOfA3630By2100Host) {
    const FrameSkin skin{1410, 1275};
    const std::vector<SkinPiece> border = skin.Border(3630, 2100);
    EXPECT_EQ(XsOf(border, skin.BottomEdgeTile()).size(), 13u);
    EXPECT_EQ(XsOf(border, skin.BottomEdgeTile()).back(), 3900);
    std::vector<int> leftYs, rightXs;
    for (const SkinPiece& p : border) {
        if (p.source == skin.LeftEdgeTile()) leftYs.push_back(p.y);
        if (p.source == skin.RightEdgeTile()) rightXs.push_back(p.x);
    }
    EXPECT_EQ(leftYs, (std::vector<int>{300, 600, 900, 1200, 1500, 1800, 2100, 2400}));
    EXPECT_EQ(rightXs, std::vector<int>(8, 3570));
    // In order: bottom, left, right edges, then the corners over them.
    ASSERT_EQ(border.size(), 13u + 8 + 8 + 2);
    EXPECT_EQ(border[0], (SkinPiece{{300, 1215, 300, 500}, 300, 2040}));
    EXPECT_EQ(border[13].source, skin.LeftEdgeTile());
    EXPECT_EQ(border[21].source, skin.RightEdgeTile());
    EXPECT_EQ(border[29], (SkinPiece{{0, 1215, 545, 60}, 0, 2040}));
    EXPECT_EQ(border[30], (SkinPiece{{910, 1215, 500, 60}, 3130, 2040}));
}
