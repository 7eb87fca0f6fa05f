#pragma once
// What the controls' window tests share besides support/TestWindows_win.h:
// synthetic skins, and pixels read back from surfaces and
// from what a window shows.

#include <windows.h>

#include "support/TestWindows_win.h"
#include "base/Handles_win.h"
#include "controls/Picture_win.h"
#include "controls/Surface_win.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

namespace tessaly::test {

using namespace tessaly::win;

// A 24-bit strip of frames, each frameWidth x frameHeight and filled with its
// colour; `paint` may then change single pixels (x, y, colour).
struct PixelPatch {
    int x, y;
    COLORREF colour;
};
inline std::shared_ptr<Picture> MakeStrip(std::initializer_list<COLORREF> colours, int frameWidth,
                                          int frameHeight,
                                          const std::vector<PixelPatch>& patches = {}) {
    const int width = frameWidth * static_cast<int>(colours.size());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -frameHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueDC dc(CreateCompatibleDC(nullptr));
    {
        Selection selected(dc.get(), bitmap.get());
        int x = 0;
        for (COLORREF colour : colours) {
            const RECT frame{x, 0, x + frameWidth, frameHeight};
            UniqueBrush brush(CreateSolidBrush(colour));
            FillRect(dc.get(), &frame, brush.get());
            x += frameWidth;
        }
        for (const PixelPatch& p : patches)
            SetPixel(dc.get(), p.x, p.y, p.colour);
    }
    return std::make_shared<Picture>(std::move(bitmap));
}

inline COLORREF PixelOf(const Surface& surface, int x, int y) {
    return GetPixel(surface.hdc(), x, y);
}

// What a window shows on screen now (its own pixels and its children's), read
// back from its window DC.
class Screenshot {
public:
    explicit Screenshot(HWND window) {
        RECT client{};
        GetClientRect(window, &client);
        width_ = client.right;
        height_ = client.bottom;
        WindowDC source(window);
        dc_.reset(CreateCompatibleDC(source.get()));
        bitmap_.reset(CreateCompatibleBitmap(source.get(), width_, height_));
        selection_ = Selection(dc_.get(), bitmap_.get());
        BitBlt(dc_.get(), 0, 0, width_, height_, source.get(), 0, 0, SRCCOPY);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }

private:
    int width_ = 0, height_ = 0;
    UniqueDC dc_;
    UniqueBitmap bitmap_;
    Selection selection_;
};

// Keeps the pointer away from the test's windows, at the screen's top-left corner.
inline void ParkPointer() {
    SetCursorPos(2, 2);
}

inline POINT CentreOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

} // namespace tessaly::test
