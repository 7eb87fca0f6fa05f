#pragma once
// The image button's designed properties as its host stores them: names,
// defaults, and the order of writing (BackPicture, Icon, Enabled, Style,
// cBackStyle, Caption, AutoSize, cFont, cDrawMode, cForeColor) and of reading
// (BackPicture, Icon, Enabled, cBackStyle, Caption, Style, AutoSize,
// cForeColor, cFont, cDrawMode). A value equal to its default is left out,
// except the last three written, which always are.

#include "base/PropertyBag.h"
#include "controls/Colour.h"
#include "controls/FontDesc.h"

#include <cstdint>
#include <string>

namespace tessaly {

inline constexpr int kCopyPen = 13;

struct ButtonDesign {
    std::wstring BackPicture; // the picture's stored name (PictureRef); empty: none
    std::wstring Icon;
    bool Enabled = true;
    int Style = 0;
    int cBackStyle = 1;
    std::wstring Caption;
    bool AutoSize = true;
    FontDesc cFont = DefaultFont();
    int cDrawMode = kCopyPen;
    std::uint32_t cForeColor = kButtonTextColour;

    bool operator==(const ButtonDesign&) const = default;
};

void WriteButtonDesign(PropertyBag& bag, const ButtonDesign& design);
// A missing name takes its default: the fixed ones above, and for the font,
// draw mode and foreground colour what the surface has now (`current`).
// A value of the wrong kind raises the type-mismatch error.
ButtonDesign ReadButtonDesign(const PropertyBag& bag, const ButtonDesign& current);

} // namespace tessaly
