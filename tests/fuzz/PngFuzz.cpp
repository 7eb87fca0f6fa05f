// Pictures and their compressed rows. The inflate is held to zlib's verdict
// and bytes on every stream; the PNG decoder must never read or write past
// what it was given.

#include "base/Inflate.h"
#include "base/PngPicture.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

using namespace tessaly;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view png(reinterpret_cast<const char*>(data), size);
    if (const auto picture = ReadPngSize(png);
        picture && std::size_t(picture->width) * picture->height <= (1u << 20)) {
        std::vector<std::uint32_t> pixels(std::size_t(picture->width) * picture->height);
        DecodePng(png, pixels);
    }
    // Two bytes say how much the stream after them should come to.
    if (size < 2) return 0;
    const std::size_t expected = data[0] | data[1] << 8;
    const std::span stream(data + 2, size - 2);
    std::vector<std::uint8_t> ours(expected), theirs(expected + 1);
    const bool ok = InflateZlib(stream, ours);
    uLongf length = static_cast<uLongf>(theirs.size());
    const bool zlibOk = uncompress(theirs.data(), &length, stream.data(),
                                   static_cast<uLong>(stream.size())) == Z_OK &&
                        length == expected;
    if (ok != zlibOk) __builtin_trap();
    if (ok && std::memcmp(ours.data(), theirs.data(), expected) != 0) __builtin_trap();
    return 0;
}
