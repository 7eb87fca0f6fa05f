#include "controls/Surface_win.h"

#include "base/Units.h"

#include <algorithm>
#include <vector>

namespace tessaly::win {
namespace {

int Px(double twips) {
    return TwipsToPixels(twips);
}

UniqueFont MakeFont(HDC dc, const FontDesc& desc) {
    LOGFONTW lf{};
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    lf.lfHeight = -static_cast<LONG>(RoundHalfEven(desc.size * dpi / 72.0));
    lf.lfWeight = desc.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = desc.italic;
    lf.lfUnderline = desc.underline;
    lf.lfStrikeOut = desc.strikeout;
    lf.lfCharSet = static_cast<BYTE>(desc.charset);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    desc.name.copy(lf.lfFaceName, LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&lf));
}

// The region of a mask's pixels that are not the mask colour, row by row.
UniqueRegion RegionOf(HDC dc, const Picture& mask, COLORREF maskColour) {
    const int width = mask.WidthPixels(), height = mask.HeightPixels();
    if (!mask.bitmap() || width <= 0 || height <= 0) return UniqueRegion(CreateRectRgn(0, 0, 0, 0));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height);
    GetDIBits(dc, mask.bitmap(), 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    // 32-bit DIB pixels are 0x00RRGGBB.
    const DWORD key =
        (GetRValue(maskColour) << 16) | (GetGValue(maskColour) << 8) | GetBValue(maskColour);

    std::vector<RECT> runs;
    for (int y = 0; y < height; ++y) {
        const DWORD* row = pixels.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width;) {
            while (x < width && (row[x] & 0xFFFFFF) == key)
                ++x;
            const int start = x;
            while (x < width && (row[x] & 0xFFFFFF) != key)
                ++x;
            if (x > start) runs.push_back({start, y, x, y + 1});
        }
    }
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* region = reinterpret_cast<RGNDATA*>(data.data());
    region->rdh.dwSize = sizeof(RGNDATAHEADER);
    region->rdh.iType = RDH_RECTANGLES;
    region->rdh.nCount = static_cast<DWORD>(runs.size());
    region->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    region->rdh.rcBound = {0, 0, width, height};
    std::copy(runs.begin(), runs.end(), reinterpret_cast<RECT*>(region->Buffer));
    return UniqueRegion(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region));
}

UniqueRegion CopyOf(HRGN region) {
    UniqueRegion copy(CreateRectRgn(0, 0, 0, 0));
    CombineRgn(copy.get(), region, nullptr, RGN_COPY);
    return copy;
}

} // namespace

COLORREF ToColorRef(std::uint32_t colour) {
    if (IsSystemColour(colour)) return GetSysColor(static_cast<int>(colour & 0xFF));
    return static_cast<COLORREF>(colour & 0xFFFFFF);
}

Surface::Surface(std::uint32_t backColor)
    : backColor_(backColor) {}

Surface::~Surface() {
    Detach();
}

void Surface::Attach(HWND window) {
    window_ = window;
    WindowDC screen(window);
    dc_.reset(CreateCompatibleDC(screen.get()));
    SetBkMode(dc_.get(), TRANSPARENT);
    // Skins are stretched pixel for pixel: a blended edge would lose the mask colour.
    SetStretchBltMode(dc_.get(), COLORONCOLOR);
    SetROP2(dc_.get(), drawMode_);
    SetTextColor(dc_.get(), ToColorRef(foreColor_));
    SetFont(fontDesc_);
    RECT client{};
    GetClientRect(window, &client);
    MakeImage(client.right, client.bottom);
    Cls();
}

void Surface::Detach() {
    fontSelection_.Restore();
    imageSelection_.Restore();
    font_.reset();
    image_.reset();
    dc_.reset();
    window_ = nullptr;
    shape_.reset();
    shapedFrom_.reset();
    shapedTransparent_ = false;
}

void Surface::MakeImage(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap image(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!image) return;
    UniqueDC fresh(CreateCompatibleDC(dc_.get()));
    {
        Selection drawing(fresh.get(), image.get());
        const RECT all{0, 0, width, height};
        UniqueBrush brush(CreateSolidBrush(ToColorRef(backColor_)));
        FillRect(fresh.get(), &all, brush.get());
        if (image_) BitBlt(fresh.get(), 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY);
    }
    imageSelection_.Restore();
    image_ = std::move(image);
    imageSelection_ = Selection(dc_.get(), image_.get());
    width_ = width;
    height_ = height;
}

void Surface::Resize() {
    if (!window_) return;
    RECT client{};
    GetClientRect(window_, &client);
    if (std::max<int>(client.right, 1) != width_ || std::max<int>(client.bottom, 1) != height_)
        MakeImage(client.right, client.bottom);
}

void Surface::SetForeColor(std::uint32_t colour) {
    foreColor_ = colour;
    if (dc_) SetTextColor(dc_.get(), ToColorRef(colour));
}

void Surface::SetFont(const FontDesc& font) {
    fontDesc_ = font;
    if (!dc_) return;
    UniqueFont made = MakeFont(dc_.get(), font);
    if (!made) return;
    fontSelection_.Restore();
    font_ = std::move(made);
    fontSelection_ = Selection(dc_.get(), font_.get());
}

void Surface::SetDrawMode(int mode) {
    drawMode_ = mode;
    if (dc_) SetROP2(dc_.get(), mode);
}

void Surface::Invalidate() const {
    // Never with a null window: that would repaint every window on the screen.
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void Surface::Cls() {
    if (!dc_) return;
    const RECT all{0, 0, width_, height_};
    UniqueBrush brush(CreateSolidBrush(ToColorRef(backColor_)));
    FillRect(dc_.get(), &all, brush.get());
    Invalidate();
}

void Surface::PaintPicture(const Picture& picture, int x, int y) {
    if (!dc_) return;
    if (picture.icon()) {
        DrawIconEx(dc_.get(), Px(x), Px(y), picture.icon(), 0, 0, 0, nullptr, DI_NORMAL);
    } else if (picture.bitmap()) {
        UniqueDC source(CreateCompatibleDC(dc_.get()));
        Selection selected(source.get(), picture.bitmap());
        BitBlt(dc_.get(), Px(x), Px(y), picture.WidthPixels(), picture.HeightPixels(), source.get(),
               0, 0, SRCCOPY);
    }
    Invalidate();
}

void Surface::PaintPicture(const Picture& picture, int x, int y, int width, int height) {
    if (!dc_) return;
    const int left = Px(x), top = Px(y), right = Px(x + width), bottom = Px(y + height);
    if (picture.icon()) {
        DrawIconEx(dc_.get(), left, top, picture.icon(), right - left, bottom - top, 0, nullptr,
                   DI_NORMAL);
    } else if (picture.bitmap() && picture.WidthPixels() > 0 && picture.HeightPixels() > 0) {
        UniqueDC source(CreateCompatibleDC(dc_.get()));
        Selection selected(source.get(), picture.bitmap());
        StretchBlt(dc_.get(), left, top, right - left, bottom - top, source.get(), 0, 0,
                   picture.WidthPixels(), picture.HeightPixels(), SRCCOPY);
    }
    Invalidate();
}

void Surface::PaintPicture(const Picture& picture, int x, int y, const TwipsRect& part) {
    if (!dc_ || !picture.bitmap()) return;
    int sx = Px(part.x), sy = Px(part.y);
    int sw = Px(part.width), sh = Px(part.height);
    int dx = Px(x), dy = Px(y);
    // Clip the part to the picture, moving the destination along.
    if (sx < 0) {
        sw += sx;
        dx -= sx;
        sx = 0;
    }
    if (sy < 0) {
        sh += sy;
        dy -= sy;
        sy = 0;
    }
    sw = std::min(sw, picture.WidthPixels() - sx);
    sh = std::min(sh, picture.HeightPixels() - sy);
    if (sw > 0 && sh > 0) {
        UniqueDC source(CreateCompatibleDC(dc_.get()));
        Selection selected(source.get(), picture.bitmap());
        BitBlt(dc_.get(), dx, dy, sw, sh, source.get(), sx, sy, SRCCOPY);
    }
    Invalidate();
}

int Surface::TextWidth(std::wstring_view text) const {
    SIZE size{};
    if (dc_) GetTextExtentPoint32W(dc_.get(), text.data(), static_cast<int>(text.size()), &size);
    return PixelsToTwips(size.cx);
}

int Surface::TextHeight(std::wstring_view text) const {
    SIZE size{};
    if (dc_) {
        // An empty text is still one line high.
        const std::wstring_view measured = text.empty() ? std::wstring_view(L" ") : text;
        GetTextExtentPoint32W(dc_.get(), measured.data(), static_cast<int>(measured.size()), &size);
    }
    return PixelsToTwips(size.cy);
}

void Surface::Print(std::wstring_view text, int x, int y) {
    if (!dc_) return;
    TextOutW(dc_.get(), Px(x), Px(y), text.data(), static_cast<int>(text.size()));
    Invalidate();
}

std::shared_ptr<Picture> Surface::Image() const {
    if (!dc_) return std::make_shared<Picture>(UniqueBitmap());
    UniqueBitmap copy(CreateCompatibleBitmap(dc_.get(), width_, height_));
    {
        UniqueDC target(CreateCompatibleDC(dc_.get()));
        Selection selected(target.get(), copy.get());
        BitBlt(target.get(), 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY);
    }
    return std::make_shared<Picture>(std::move(copy));
}

UniqueRegion Surface::ShapeWanted() const {
    if (backStyle_ != 0 || !mask_) return UniqueRegion();
    return RegionOf(dc_.get(), *mask_, ToColorRef(kMaskColour));
}

void Surface::Refresh() {
    if (!window_) return;
    const bool transparent = backStyle_ == 0 && mask_;
    // The same mask in the same style shapes the same region: nothing to do.
    if (transparent != shapedTransparent_ || (transparent && mask_ != shapedFrom_)) {
        UniqueRegion wanted = ShapeWanted();
        const bool same =
            wanted && shape_ ? EqualRgn(wanted.get(), shape_.get()) != FALSE : !wanted && !shape_;
        if (!same) {
            // The window owns the region it is given; keep a copy to compare with.
            UniqueRegion given = wanted ? CopyOf(wanted.get()) : UniqueRegion();
            if (SetWindowRgn(window_, given.get(), TRUE)) static_cast<void>(given.release());
            shape_ = std::move(wanted);
        }
        shapedTransparent_ = transparent;
        shapedFrom_ = transparent ? mask_ : nullptr;
    }
    Invalidate();
}

void Surface::Paint(HDC target) const {
    if (dc_) BitBlt(target, 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}

} // namespace tessaly::win
