#include "tabstrip/mdlTabAPI_win.h"

#include "base/Error.h"

namespace tessaly::win {
namespace {

[[noreturn]] void Fail(const char* text) {
    throw Error(kMemoryDCError, text);
}

} // namespace

bool DeleteMemoryDC(HDC dc) {
    const HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    DeleteDC(dc);
    // A DC that never had a bitmap of its own holds the stock one, which
    // DeleteObject leaves alone.
    if (bitmap) DeleteObject(bitmap);
    return true;
}

bool SetWindowStyleBits(HWND window, int index, LONG_PTR clear, LONG_PTR set, UINT flags) {
    const LONG_PTR old = GetWindowLongPtrW(window, index);
    const LONG_PTR now = (old & ~clear) | set;
    if (now == old) return false;
    SetWindowLongPtrW(window, index, now);
    if (flags != 0)
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     flags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return false;
}

UniqueMemoryDC CreateMemoryDC(int width, int height) {
    const WindowDC screen(nullptr);
    if (!screen) Fail("GetDC调用失败");
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    if (!bitmap) Fail("CreateCompatibleBitmap调用失败");
    UniqueDC dc(CreateCompatibleDC(screen.get()));
    if (!dc) Fail("CreateCompatibleDC调用失败");
    // From here the DC owns the bitmap: DeleteMemoryDC frees both.
    SelectObject(dc.get(), bitmap.release());
    return UniqueMemoryDC(dc.release());
}

UniqueMemoryDC CreateBitmapDC(UniqueBitmap image) {
    const WindowDC screen(nullptr);
    if (!screen) Fail("GetDC调用失败");
    UniqueDC dc(CreateCompatibleDC(screen.get()));
    if (!dc) Fail("CreateCompatibleDC调用失败");
    SelectObject(dc.get(), image.release());
    return UniqueMemoryDC(dc.release());
}

int DrawNineGrid(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                 int sourceY, int sourceWidth, int sourceHeight, int left, int top, int right,
                 int bottom, std::optional<COLORREF> key) {
    if (width == 0 || height == 0 || sourceWidth == 0 || sourceHeight == 0) return 0;
    const UniqueMemoryDC temp = CreateMemoryDC(width, height);
    const HDC t = temp.get();
    SetStretchBltMode(t, HALFTONE);
    const int sx = sourceX, sy = sourceY, sw = sourceWidth, sh = sourceHeight;
    const int w = width, h = height, l = left, r = right, tp = top, b = bottom;
    if (l <= 0 && tp <= 0 && r <= 0 && b <= 0) {
        StretchBlt(t, 0, 0, w, h, source, sx + l, sy + tp, sw - r, sh - b, SRCCOPY);
    } else {
        if (l > 0 && tp > 0) BitBlt(t, 0, 0, l, tp, source, sx, sy, SRCCOPY);
        if (r > 0 && tp > 0) BitBlt(t, w - r, 0, r, tp, source, sx + sw - r, sy, SRCCOPY);
        if (l > 0 && b > 0) BitBlt(t, 0, h - b, l, b, source, sx, sy + sh - b, SRCCOPY);
        if (r > 0 && b > 0)
            BitBlt(t, w - r, h - b, r, b, source, sx + sw - r, sy + sh - b, SRCCOPY);
        if (l > 0)
            StretchBlt(t, 0, tp, l, h - tp - b, source, sx, sy + tp, l, sh - tp - b, SRCCOPY);
        if (r > 0)
            StretchBlt(t, w - r, tp, r, h - tp - b, source, sx + sw - r, sy + tp, r, sh - tp - b,
                       SRCCOPY);
        if (tp > 0) StretchBlt(t, l, 0, w - l - r, tp, source, sx + l, sy, sw - l - r, tp, SRCCOPY);
        if (b > 0)
            StretchBlt(t, l, h - b, w - l - r, b, source, sx + l, sy + sh - b, sw - l - r, b,
                       SRCCOPY);
        StretchBlt(t, l, tp, w - l - r, h - tp - b, source, sx + l, sy + tp, sw - l - r,
                   sh - tp - b, SRCCOPY);
    }
    if (!key) return BitBlt(destination, x, y, w, h, t, 0, 0, SRCCOPY);
    return TransparentBlt(destination, x, y, w, h, t, 0, 0, w, h, *key);
}

int DrawTransparent(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                    int sourceY, COLORREF key) {
    return TransparentBlt(destination, x, y, width, height, source, sourceX, sourceY, width, height,
                          key);
}

int DrawTextInRect(HDC dc, const std::wstring& text, int count, int x, int y, int width, int height,
                   UINT format) {
    RECT rect{x, y, x + width, y + height};
    return DrawTextW(dc, text.c_str(), count, &rect, format);
}

} // namespace tessaly::win
