#pragma once
// Decompression of a zlib stream (RFC 1950, with DEFLATE of RFC 1951) into a
// buffer whose size the caller knows, as a PNG's pixel rows are.

#include <cstdint>
#include <span>

namespace tessaly {

// True when `in` is one whole zlib stream, its checksum matches and it fills
// `out` exactly. Any other stream is refused, with no byte written past `out`.
bool InflateZlib(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

} // namespace tessaly
