#pragma once
// The program's own PNG pictures (8-bit RGB or RGBA, not interlaced, as its
// artwork generator writes them) decoded straight into the 32-bit
// premultiplied pixels a per-pixel-alpha window is given. Other PNGs are
// refused rather than guessed at.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tessaly {

struct PngSize {
    int width = 0;
    int height = 0;
};

// The picture's size when it is a PNG this decoder takes.
std::optional<PngSize> ReadPngSize(std::string_view png);

// Fills `pixels` (width x height, top row first) with 0xAARRGGBB values whose
// colours are premultiplied by their alpha, rounded to nearest. False, with
// `pixels` in any state, when the PNG is refused, damaged or of another size.
bool DecodePng(std::string_view png, std::span<std::uint32_t> pixels);

} // namespace tessaly
