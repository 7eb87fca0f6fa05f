#pragma once
// A font as the designs describe it (face, size in points, style, character
// set), and the text it is stored as in a property bag:
//   宋体,9,bold,charset=134
// The face comes first, then the size; the rest in any order.

#include <string>
#include <string_view>

namespace tessaly {

inline constexpr int kGb2312Charset = 134;
// The largest size a stored design may give a font, as the hosts' font
// objects take no larger one; anything beyond is a damaged design.
inline constexpr double kMaxFontPoints = 2160;

struct FontDesc {
    std::wstring name;
    double size = 9; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    int charset = 1; // the platform's default character set

    bool operator==(const FontDesc&) const = default;

    std::wstring ToText() const;
    // Raises the type-mismatch error on text that does not describe a font,
    // or one whose size is not above 0 and at most kMaxFontPoints.
    static FontDesc Parse(std::wstring_view text);
};

// What a surface starts with: the Chinese system's dialog face.
FontDesc DefaultFont();

} // namespace tessaly
