#pragma once
// What a per-pixel-alpha window keeps while it shows a PNG resource: its own
// GDI+ session, the decoded image and the memory bitmap handed to the system.

#include "app/PublicData_win.h"

#include <memory>

namespace tessaly::win {

class LayeredPicture {
public:
    LayeredPicture() = default;
    ~LayeredPicture() { Release(); }
    LayeredPicture(const LayeredPicture&) = delete;
    LayeredPicture& operator=(const LayeredPicture&) = delete;

    // Makes the window layered and its content the PNG resource of that id.
    void Paint(HWND window, int pngId);
    // The image before GDI+ shuts down; then the memory DC gets its first
    // bitmap back before the DC and the bitmap are deleted.
    void Release();
    const LayeredCanvas& canvas() const { return canvas_; }

private:
    std::unique_ptr<GdiplusSession> gdiplus_;
    StreamImage image_;
    LayeredCanvas canvas_;
};

} // namespace tessaly::win
