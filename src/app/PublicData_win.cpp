#include "app/PublicData_win.h"

#include "app/IconDirectory.h"
#include "base/ErrorLog.h"
#include "base/PngPicture.h"
#include "base/Text.h"
#include "resources/ResourceIds.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaly::win {
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
    const ResourceBytes resource = FindResourceBytes(id, L"PNG");
    const std::string_view png(static_cast<const char*>(resource.data), resource.size);
    const std::optional<PngSize> size = ReadPngSize(png);
    if (!size) {
        if (resource.data) LogError(L"resource PNG " + DecimalText(id) + L" is not a picture");
        return canvas;
    }
    // UpdateLayeredWindow wants 32-bit premultiplied pixels: a top-down DIB
    // section, which the decoder fills directly, with no drawing and no copy
    // in between.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size->width;
    info.bmiHeader.biHeight = -size->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    canvas.bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &canvas.bits, nullptr, 0));
    if (!canvas.bitmap) return {};
    const std::span pixels(static_cast<std::uint32_t*>(canvas.bits),
                           std::size_t(size->width) * size->height);
    if (!DecodePng(png, pixels)) {
        LogError(L"resource PNG " + DecimalText(id) + L" is damaged");
        return {};
    }
    canvas.width = size->width;
    canvas.height = size->height;
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
