#include "base/Units.h"

#include <gtest/gtest.h>

#include <limits>

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

TEST(Units, RoundingSaturatesWhatDoesNotFit) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(RoundHalfEven(1e300), kMax);
    EXPECT_EQ(RoundHalfEven(-1e300), kMin);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()), kMax);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(RoundHalfEven(9223372036854775808.0), kMax); // 2^63: one past the range
    EXPECT_EQ(RoundHalfEven(-9223372036854775808.0), kMin);
    EXPECT_EQ(RoundHalfEven(4503599627370497.0), 4503599627370497); // past 2^52, exact
    // Pixel and HIMETRIC counts are ints: a huge design value gives the limit.
    EXPECT_EQ(TwipsToPixels(1e12), std::numeric_limits<int>::max());
    EXPECT_EQ(HimetricToPixels(-1e20), std::numeric_limits<int>::min());
    EXPECT_EQ(PixelsToHimetric(std::numeric_limits<int>::max()), std::numeric_limits<int>::max());
    EXPECT_EQ(RoundHalfEvenToInt(-2147483648.5), std::numeric_limits<int>::min());
    EXPECT_EQ(RoundHalfEvenToInt(2147483647.5), std::numeric_limits<int>::max());
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
