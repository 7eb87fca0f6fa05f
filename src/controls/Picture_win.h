#pragma once
// A picture: an owned bitmap (with the palette it was cut under, if any) or an
// owned icon, that knows its size in HIMETRIC, and the resource it was loaded
// from so that a stored design can name it. Picture properties hold shared
// pointers: a host may hand the same skin to several controls.

#include "base/Handles_win.h"
#include "controls/PictureRef.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly::win {

using UniquePalette = UniqueResource<GdiObjectTraits<HPALETTE>>;

class Picture {
public:
    // An empty bitmap makes an empty picture, 0 x 0.
    explicit Picture(UniqueBitmap bitmap, UniquePalette palette = {});
    explicit Picture(UniqueIcon icon);
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // Null when the module has no such resource.
    static std::shared_ptr<Picture> LoadBitmapResource(int id);
    static std::shared_ptr<Picture> LoadIconResource(int id);
    // The picture a stored design names; null for none or a missing resource
    // (logged). Text that names no picture raises the type-mismatch error.
    static std::shared_ptr<Picture> FromDesign(std::wstring_view text);

    HBITMAP bitmap() const { return bitmap_.get(); }
    HPALETTE palette() const { return palette_.get(); }
    HICON icon() const { return icon_.get(); }
    int WidthPixels() const { return width_; }
    int HeightPixels() const { return height_; }
    int WidthHimetric() const;
    int HeightHimetric() const;
    // The name a stored design gives it; empty for a picture made at run time,
    // which a design cannot hold.
    std::wstring DesignText() const { return source_ ? source_->ToText() : std::wstring(); }

private:
    UniqueBitmap bitmap_;
    UniquePalette palette_;
    UniqueIcon icon_;
    int width_ = 0;
    int height_ = 0;
    std::optional<PictureRef> source_;
};

using PicturePtr = std::shared_ptr<const Picture>;

} // namespace tessaly::win
