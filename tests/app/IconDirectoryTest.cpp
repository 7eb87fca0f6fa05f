#include "app/IconDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace tessaly;

namespace {

void Put(std::string& bytes, unsigned value, int count) {
    for (int i = 0; i < count; ++i, value >>= 8)
        bytes += static_cast<char>(value & 0xff);
}

// An .ico file whose entries have these widths and bit counts; image i is
// 10 bytes at 100 + 10 i.
std::string Ico(std::initializer_list<std::pair<unsigned, unsigned>> entries) {
    std::string bytes;
    Put(bytes, 0, 2);
    Put(bytes, 1, 2);
    Put(bytes, static_cast<unsigned>(entries.size()), 2);
    unsigned offset = 100;
    for (const auto& [width, bits] : entries) {
        Put(bytes, width, 1);
        Put(bytes, width, 1);
        Put(bytes, 0, 2);
        Put(bytes, 1, 2);
        Put(bytes, bits, 2);
        Put(bytes, 10, 4);
        Put(bytes, offset, 4);
        offset += 10;
    }
    bytes.resize(offset, '\0');
    return bytes;
}

} // namespace

TEST(IconDirectory, PicksTheSizeWithTheMostColoursOrTheLargest) {
    const std::string ico = Ico({{16, 8}, {32, 32}, {16, 32}, {0, 32}});
    const std::tuple<int, std::size_t> cases[] = {{16, 120}, {32, 110}, {256, 130}, {48, 130}};
    for (const auto& [pixels, offset] : cases) {
        const auto image = PickIconImage(ico, pixels);
        ASSERT_TRUE(image) << pixels;
        EXPECT_EQ(image->offset, offset) << pixels;
        EXPECT_EQ(image->size, 10u);
    }
    std::string outside = ico;
    outside.resize(ico.size() - 1); // the last image runs past the end
    std::string cursor = ico;
    cursor[2] = 2;
    for (const std::string& broken : {outside, cursor, ico.substr(0, 20), std::string()})
        EXPECT_FALSE(PickIconImage(broken, 16));
}
