#include "app/IconDirectory.h"

#include <gtest/gtest.h>

using namespace tessaly;

TEST(IconDirectory, PicksTheSizeWithTheMostColoursOrTheLargest) {
    // Entries 16 px at 8 bits, then 32, 16 and 256 px at 32; image i is 10 bytes at 100 + 10 i.
    std::string ico("\0\0\1\0\4\0", 6);
    for (const int i : {0, 1, 2, 3}) {
        const char width = "\x10\x20\x10\x00"[i], bits = i == 0 ? 8 : 32;
        ico += {width, width, 0, 0, 1, 0, bits, 0, 10, 0, 0, 0, char(100 + 10 * i), 0, 0, 0};
    }
    ico.resize(140, '\0');
    for (const auto& [pixels, offset] : {std::pair{16, 120u}, {32, 110u}, {256, 130u}, {48, 130u}})
        EXPECT_EQ(PickIconImage(ico, pixels).value_or(IconImage{}).offset, offset) << pixels;
    for (const std::string& broken : {ico.substr(0, 139), ico.substr(0, 20), std::string()})
        EXPECT_FALSE(PickIconImage(broken, 16));
}
