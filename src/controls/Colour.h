#pragma once
// Colours as the designs hold them: 0x00BBGGRR, or a system colour given by
// its index with the top bit set (0x80000012 is the button-text colour).

#include "base/PropertyBag.h"

#include <cstdint>

namespace tessaly {

inline constexpr std::uint32_t kSystemColourFlag = 0x80000000;

constexpr std::uint32_t Rgb(int red, int green, int blue) {
    return static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
           static_cast<std::uint32_t>(blue) << 16;
}
constexpr std::uint32_t SystemColour(int index) {
    return kSystemColourFlag | static_cast<std::uint32_t>(index);
}
constexpr bool IsSystemColour(std::uint32_t colour) {
    return (colour & 0xFF000000) == kSystemColourFlag;
}

inline constexpr std::uint32_t kWindowColour = SystemColour(5);
inline constexpr std::uint32_t kButtonTextColour = SystemColour(18);
// Skins mark the pixels their windows do not cover with magenta.
inline constexpr std::uint32_t kMaskColour = Rgb(255, 0, 255);

// A number, or a text holding one, as a 32-bit colour (negative numbers are the
// signed spelling of the same bits). Anything else raises the type-mismatch error.
std::uint32_t ColourFromValue(const PropertyValue& value);

} // namespace tessaly
