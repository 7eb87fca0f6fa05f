// The decoder against the system's zlib: every way zlib writes a stream
// decodes to what went in, and damaged streams and pictures are refused
// without a byte written past the buffer.

#include "base/Inflate.h"
#include "base/PngPicture.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

using namespace tessaly;

namespace {

std::vector<std::uint8_t> Deflated(const std::vector<std::uint8_t>& data, int level, int strategy) {
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy);
    std::vector<std::uint8_t> out(deflateBound(&z, data.size()));
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::string Chunk(std::string_view type, const std::string& data) {
    std::string chunk;
    for (int shift = 24; shift >= 0; shift -= 8)
        chunk += static_cast<char>(data.size() >> shift);
    chunk.append(type).append(data).append(4, '\0'); // the CRC is not looked at
    return chunk;
}

// A 2 x 2 picture of these filtered rows.
std::string TinyPng(const std::vector<std::uint8_t>& rows, std::uint8_t colour = 6) {
    const std::string ihdr{0, 0, 0, 2, 0, 0, 0, 2, 8, static_cast<char>(colour), 0, 0, 0};
    const std::vector<std::uint8_t> z = Deflated(rows, 9, Z_DEFAULT_STRATEGY);
    return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr) +
           Chunk("IDAT", std::string(z.begin(), z.end())) + Chunk("IEND", "");
}

} // namespace

TEST(Inflate, TakesEveryKindOfBlockAndRefusesEveryDamage) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> data(200000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = i % 3000 < 1000 ? static_cast<std::uint8_t>(random())
                                  : static_cast<std::uint8_t>(i / 7);
    const struct {
        int level, strategy;
    } ways[] = {{0, Z_DEFAULT_STRATEGY}, {1, Z_DEFAULT_STRATEGY},
                {9, Z_DEFAULT_STRATEGY}, {9, Z_FIXED},
                {9, Z_HUFFMAN_ONLY},     {9, Z_RLE}};
    for (const auto& way : ways) {
        const std::vector<std::uint8_t> z = Deflated(data, way.level, way.strategy);
        std::vector<std::uint8_t> out(data.size());
        ASSERT_TRUE(InflateZlib(z, out)) << way.level << way.strategy;
        EXPECT_EQ(out, data);
        // A buffer one byte short or long, a changed checksum, a cut stream.
        std::vector<std::uint8_t> shorter(data.size() - 1, 0), longer(data.size() + 1, 0);
        EXPECT_FALSE(InflateZlib(z, shorter));
        EXPECT_FALSE(InflateZlib(z, longer));
        std::vector<std::uint8_t> changed = z;
        changed.back() ^= 1;
        EXPECT_FALSE(InflateZlib(changed, out));
        for (std::size_t cut = 0; cut < z.size(); cut += 1 + z.size() / 64)
            EXPECT_FALSE(InflateZlib(std::span(z).first(cut), out)) << cut;
    }
    // Random bytes after a valid header: refused or not, never past the buffer.
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> junk(64 + round % 200);
        for (auto& b : junk)
            b = static_cast<std::uint8_t>(random());
        junk[0] = 0x78, junk[1] = 0xDA;
        std::vector<std::uint8_t> out(256 + 1);
        out.back() = 0xEE;
        InflateZlib(std::span(junk), std::span(out).first(256));
        EXPECT_EQ(out.back(), 0xEE);
    }
}

TEST(PngPicture, PremultipliesAndRefusesWhatItDoesNotTake) {
    // Two rows, each a filter byte (none) and two RGBA pixels.
    const std::string png =
        TinyPng({0, 255, 0, 0, 255, 0, 0, 255, 128, 0, 10, 20, 30, 0, 200, 100, 50, 128});
    ASSERT_EQ(ReadPngSize(png)->width, 2);
    std::vector<std::uint32_t> pixels(4);
    ASSERT_TRUE(DecodePng(png, pixels));
    EXPECT_EQ(pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0x80000080, 0x00000000, 0x80643219}));

    std::vector<std::uint32_t> wrongSize(3);
    EXPECT_FALSE(DecodePng(png, wrongSize));
    const std::string refused[] = {
        TinyPng({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 5, 6, 7}, 3), // palette
        TinyPng({5, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 5, 6, 7}),    // filter 5
        png.substr(0, png.size() - 12),                                     // no IEND
        png.substr(0, 30),
        "",
    };
    for (const std::string& bad : refused)
        EXPECT_FALSE(DecodePng(bad, pixels)) << bad.size();
}
