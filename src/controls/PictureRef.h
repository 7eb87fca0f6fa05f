#pragma once
// How a designed picture property is stored: the resource it was loaded from,
// "bitmap:203" or "icon:1". A picture made at run time has no such name and is
// not stored; an empty text means no picture.

#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

struct PictureRef {
    enum class Kind { Bitmap, Icon };
    Kind kind = Kind::Bitmap;
    int id = 0;

    bool operator==(const PictureRef&) const = default;

    std::wstring ToText() const;
    // Empty text: no picture. Raises the type-mismatch error on anything else
    // that is not a resource name.
    static std::optional<PictureRef> Parse(std::wstring_view text);
};

} // namespace tessaly
