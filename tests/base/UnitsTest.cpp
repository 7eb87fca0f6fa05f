#include "base/Units.h"

#include <gtest/gtest.h>

using namespace tessaly;

TEST(Units, RoundsHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    EXPECT_EQ(RoundHalfEven(-2.6), -3);
}

TEST(Units, ConvertsTheLayoutsOwnNumbers) {
    // Windows designed in twips at 15 twips per pixel.
    EXPECT_EQ(TwipsToPixels(5340), 356);
    EXPECT_EQ(TwipsToPixels(1830), 122);
    EXPECT_EQ(TwipsToPixels(18555), 1237);
    EXPECT_EQ(TwipsToPixels(500), 33); // 33.33: the frame bar's height
    EXPECT_EQ(TwipsToPixels(7.5), 0);  // half a pixel rounds to even
    EXPECT_EQ(TwipsToPixels(22.5), 2);
    EXPECT_EQ(PixelsToTwips(1036), 15540);
    // Picture sizes in HIMETRIC: a 16-pixel icon is 423 HIMETRIC and back.
    EXPECT_EQ(PixelsToHimetric(16), 423);
    EXPECT_EQ(HimetricToPixels(423), 16);
    EXPECT_EQ(HimetricToPixels(PixelsToHimetric(129)), 129);
    EXPECT_EQ(HimetricToPixels(PixelsToHimetric(94)), 94);
    // 1 pixel is 26.45836 HIMETRIC: 13.22918 (half a pixel) rounds down to 0 pixels.
    EXPECT_EQ(HimetricToPixels(13.22918), 0);
}
