#pragma once
// The images of an .ico file held in memory (the client's "ICON" resource):
// the icons are made from those bytes themselves, never read back from the
// copy written to the temporary folder, which any program of the player's
// could have replaced meanwhile.

#include <cstddef>
#include <optional>
#include <string_view>

namespace tessaly {

struct IconImage {
    std::size_t offset = 0; // where the image's bytes start in the file
    std::size_t size = 0;
};

// The image to show at `pixels` square: of those that size the one with the
// most colours, otherwise the largest. Nothing when the bytes are no .ico
// file or an image lies outside them.
std::optional<IconImage> PickIconImage(std::string_view ico, int pixels);

} // namespace tessaly
