#include "app/IconDirectory.h"

#include <cstdint>

namespace tessaly {
namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;

std::uint32_t Little(std::string_view bytes, std::size_t at, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = count; i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

} // namespace

std::optional<IconImage> PickIconImage(std::string_view ico, int pixels) {
    if (ico.size() < kHeaderSize || Little(ico, 0, 2) != 0 || Little(ico, 2, 2) != 1)
        return std::nullopt;
    const std::size_t count = Little(ico, 4, 2);
    if (count == 0 || ico.size() < kHeaderSize + count * kEntrySize) return std::nullopt;
    std::optional<IconImage> best;
    bool bestFits = false;
    unsigned bestWidth = 0, bestBits = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kHeaderSize + i * kEntrySize;
        const unsigned width = Little(ico, entry, 1) == 0 ? 256 : Little(ico, entry, 1);
        const unsigned bits = Little(ico, entry + 6, 2);
        const IconImage image{Little(ico, entry + 12, 4), Little(ico, entry + 8, 4)};
        if (image.size == 0 || image.offset > ico.size() || image.size > ico.size() - image.offset)
            return std::nullopt;
        const bool fits = static_cast<int>(width) == pixels;
        const bool better = !best || (fits && !bestFits) ||
                            (fits == bestFits && (fits ? bits > bestBits : width > bestWidth));
        if (!better) continue;
        best = image;
        bestFits = fits;
        bestWidth = width;
        bestBits = bits;
    }
    return best;
}

} // namespace tessaly
