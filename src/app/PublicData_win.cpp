#include "app/PublicData_win.h"

#include "app/IconDirectory.h"
#include "base/ErrorLog.h"
#include "resources/ResourceIds.h"

#include <cstring>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaly::win {
namespace {

namespace gp = Gdiplus::DllExports;

} // namespace

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
}

StreamImage LoadPngResource(int id, const wchar_t* type) {
    const ResourceBytes bytes = FindResourceBytes(id, type);
    if (!bytes.data) return {};
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, bytes.size));
    if (!block) return {};
    if (void* target = GlobalLock(block.get())) {
        std::memcpy(target, bytes.data, bytes.size);
        GlobalUnlock(block.get());
    }
    Microsoft::WRL::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.get(), FALSE, &stream))) return {};
    Gdiplus::GpImage* raw = nullptr;
    if (gp::GdipLoadImageFromStream(stream.Get(), &raw) != Gdiplus::Ok) {
        LogError(L"resource " + std::wstring(type) + L" " + std::to_wstring(id) +
                 L" is not an image");
        return {};
    }
    return StreamImage(std::move(block), std::move(stream), UniqueGpImage(raw));
}

LayeredCanvas& LayeredCanvas::operator=(LayeredCanvas&& other) noexcept {
    if (this != &other) {
        Reset();
        dc = std::move(other.dc);
        bitmap = std::move(other.bitmap);
        selection = std::move(other.selection);
        bits = std::exchange(other.bits, nullptr);
        width = std::exchange(other.width, 0);
        height = std::exchange(other.height, 0);
    }
    return *this;
}

void LayeredCanvas::Reset() {
    selection.Restore();
    bitmap.reset();
    dc.reset();
    bits = nullptr;
    width = height = 0;
}

LayeredCanvas DecodePngResource(int id) {
    LayeredCanvas canvas;
    const StreamImage image = LoadPngResource(id, L"PNG");
    UINT width = 0, height = 0;
    if (!image || gp::GdipGetImageWidth(image.get(), &width) != Gdiplus::Ok ||
        gp::GdipGetImageHeight(image.get(), &height) != Gdiplus::Ok || width == 0 || height == 0)
        return canvas;
    // UpdateLayeredWindow wants 32-bit premultiplied pixels: a top-down DIB
    // section, which GDI+ fills as PARGB. It converts straight into it, with
    // no drawing and no copy in between.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    canvas.bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &canvas.bits, nullptr, 0));
    if (!canvas.bitmap) return {};
    const Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    data.Width = width;
    data.Height = height;
    data.Stride = static_cast<INT>(width * 4);
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = canvas.bits;
    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(image.get());
    if (gp::GdipBitmapLockBits(bitmap, &all,
                               Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                               PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
        return {};
    gp::GdipBitmapUnlockBits(bitmap, &data);
    canvas.width = static_cast<int>(width);
    canvas.height = static_cast<int>(height);
    return canvas;
}

void PaintLayered(HWND window, LayeredCanvas& canvas) {
    if (!canvas.bitmap) return;
    WindowDC windowDc(window);
    if (!canvas.dc) {
        canvas.dc.reset(CreateCompatibleDC(windowDc.get()));
        if (!canvas.dc) return;
        canvas.selection = Selection(canvas.dc.get(), canvas.bitmap.get());
    }
    POINT source{0, 0};
    SIZE size{canvas.width, canvas.height};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window, windowDc.get(), nullptr, &size, canvas.dc.get(), &source, 0, &blend,
                        ULW_ALPHA);
}

std::wstring IconFilePath() {
    return GetTempDir() + L"quorl.ico";
}

UniqueIcon LoadProgramIcon(int size) {
    const ResourceBytes resource = FindResourceBytes(IDR_ICON_FILE, L"ICON");
    const std::string_view ico(static_cast<const char*>(resource.data), resource.size);
    const std::optional<IconImage> image = PickIconImage(ico, size);
    if (!image) return {};
    // The call reads the bytes only; its parameter is not const.
    auto* bits = reinterpret_cast<PBYTE>(const_cast<char*>(ico.data() + image->offset));
    constexpr DWORD kIconFormat = 0x00030000; // the only one Windows takes
    return UniqueIcon(CreateIconFromResourceEx(bits, static_cast<DWORD>(image->size), TRUE,
                                               kIconFormat, size, size, LR_DEFAULTCOLOR));
}

} // namespace tessaly::win
