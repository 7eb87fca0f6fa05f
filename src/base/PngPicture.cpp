#include "base/PngPicture.h"

#include "base/Inflate.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace tessaly {
namespace {

constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);
// Far beyond any picture of the program, and small enough that no size
// computed from it overflows.
constexpr std::uint32_t kMaxSide = 16384;

std::uint32_t BigEndian(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
}

struct Header {
    PngSize size;
    int channels = 0; // 3: RGB, 4: RGBA
};

// The IDAT chunks' data, joined; nullopt when a chunk runs past the end or
// the picture has no IEND.
std::optional<std::vector<std::uint8_t>> CompressedRows(std::string_view png) {
    std::vector<std::uint8_t> compressed;
    std::size_t at = kSignature.size();
    while (png.size() - at >= 12) {
        const std::uint32_t length = BigEndian(png.data() + at);
        if (length > png.size() - at - 12) return std::nullopt;
        const std::string_view type = png.substr(at + 4, 4), data = png.substr(at + 8, length);
        if (type == "IEND") return compressed;
        if (type == "IDAT") compressed.insert(compressed.end(), data.begin(), data.end());
        at += 12 + std::size_t(length);
    }
    return std::nullopt;
}

std::optional<Header> ReadHeader(std::string_view png) {
    if (png.size() < kSignature.size() + 25 || png.substr(0, 8) != kSignature) return std::nullopt;
    const char* ihdr = png.data() + 8;
    if (BigEndian(ihdr) != 13 || std::string_view(ihdr + 4, 4) != "IHDR") return std::nullopt;
    const char* d = ihdr + 8;
    const std::uint32_t width = BigEndian(d), height = BigEndian(d + 4);
    const int depth = d[8], colour = d[9], compression = d[10], filter = d[11], interlace = d[12];
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide || depth != 8 ||
        (colour != 2 && colour != 6) || compression != 0 || filter != 0 || interlace != 0)
        return std::nullopt;
    return Header{{static_cast<int>(width), static_cast<int>(height)}, colour == 6 ? 4 : 3};
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Undoes one row's filter in place; `above` is the row before, unfiltered
// (zeros for the first). False for a filter PNG does not have.
bool Unfilter(int filter, std::uint8_t* row, const std::uint8_t* above, std::size_t length,
              int step) {
    if (filter > 4) return false;
    if (filter == 0) return true;
    for (std::size_t i = 0; i < length; ++i) {
        const int left = i >= std::size_t(step) ? row[i - step] : 0;
        const int up = above[i];
        const int upLeft = i >= std::size_t(step) ? above[i - step] : 0;
        const int predicted = filter == 1   ? left
                              : filter == 2 ? up
                              : filter == 3 ? (left + up) / 2
                                            : Paeth(left, up, upLeft);
        row[i] = static_cast<std::uint8_t>(row[i] + predicted);
    }
    return true;
}

std::uint32_t Premultiplied(int r, int g, int b, int a) {
    const auto scale = [a](int c) { return std::uint32_t((c * a + 127) / 255); };
    return std::uint32_t(a) << 24 | scale(r) << 16 | scale(g) << 8 | scale(b);
}

} // namespace

std::optional<PngSize> ReadPngSize(std::string_view png) {
    const std::optional<Header> header = ReadHeader(png);
    if (!header) return std::nullopt;
    return header->size;
}

bool DecodePng(std::string_view png, std::span<std::uint32_t> pixels) {
    const std::optional<Header> header = ReadHeader(png);
    if (!header) return false;
    const std::size_t width = header->size.width, height = header->size.height;
    if (pixels.size() != width * height) return false;
    const std::optional<std::vector<std::uint8_t>> compressed = CompressedRows(png);
    if (!compressed) return false;
    // Each row is its filter's byte, then its samples.
    const int channels = header->channels;
    const std::size_t rowLength = width * channels;
    std::vector<std::uint8_t> rows(height * (rowLength + 1));
    if (!InflateZlib(*compressed, rows)) return false;
    const std::vector<std::uint8_t> none(rowLength, 0);
    const std::uint8_t* above = none.data();
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* row = rows.data() + y * (rowLength + 1);
        if (!Unfilter(row[0], row + 1, above, rowLength, channels)) return false;
        std::uint32_t* out = pixels.data() + y * width;
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t* s = row + 1 + x * channels;
            out[x] = Premultiplied(s[0], s[1], s[2], channels == 4 ? s[3] : 255);
        }
        above = row + 1;
    }
    return true;
}

} // namespace tessaly
