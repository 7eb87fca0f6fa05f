#include "controls/Picture_win.h"

#include "base/ErrorLog.h"
#include "base/Units.h"
#include "base/Window_win.h"

namespace tessaly::win {

Picture::Picture(UniqueBitmap bitmap, UniquePalette palette)
    : bitmap_(std::move(bitmap))
    , palette_(std::move(palette)) {
    BITMAP info{};
    if (bitmap_ && GetObjectW(bitmap_.get(), sizeof info, &info)) {
        width_ = info.bmWidth;
        height_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
}

Picture::Picture(UniqueIcon icon)
    : icon_(std::move(icon)) {
    ICONINFO info{};
    if (!icon_ || !GetIconInfo(icon_.get(), &info)) return;
    // GetIconInfo hands over copies of the icon's bitmaps.
    const UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bits{};
    if (colour) {
        GetObjectW(colour.get(), sizeof bits, &bits);
        width_ = bits.bmWidth;
        height_ = bits.bmHeight;
    } else if (mask) {
        // A monochrome icon's mask holds the AND and XOR halves one above the other.
        GetObjectW(mask.get(), sizeof bits, &bits);
        width_ = bits.bmWidth;
        height_ = bits.bmHeight / 2;
    }
}

int Picture::WidthHimetric() const {
    return PixelsToHimetric(width_);
}

int Picture::HeightHimetric() const {
    return PixelsToHimetric(height_);
}

std::shared_ptr<Picture> Picture::LoadBitmapResource(int id) {
    UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(id),
                                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) return nullptr;
    auto picture = std::make_shared<Picture>(std::move(bitmap));
    picture->source_ = PictureRef{PictureRef::Kind::Bitmap, id};
    return picture;
}

std::shared_ptr<Picture> Picture::LoadIconResource(int id) {
    // Zero sizes without LR_DEFAULTSIZE give the resource's own first size.
    UniqueIcon icon(static_cast<HICON>(
        LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, 0)));
    if (!icon) return nullptr;
    auto picture = std::make_shared<Picture>(std::move(icon));
    picture->source_ = PictureRef{PictureRef::Kind::Icon, id};
    return picture;
}

std::shared_ptr<Picture> Picture::FromDesign(std::wstring_view text) {
    const std::optional<PictureRef> ref = PictureRef::Parse(text);
    if (!ref) return nullptr;
    auto picture = ref->kind == PictureRef::Kind::Bitmap ? LoadBitmapResource(ref->id)
                                                         : LoadIconResource(ref->id);
    if (!picture) LogError(L"designed picture not found: " + ref->ToText());
    return picture;
}

} // namespace tessaly::win
