#pragma once
// What a per-pixel-alpha window keeps while it shows a PNG resource: the
// memory DC and bitmap handed to the system. The picture is wanted only when
// the window first shows, so a window loaded hidden costs nothing until
// then: it is taken from the start-up's prefetch (StartupPrefetch) when that
// decoded it ahead, otherwise decoded then.

#include "app/PublicData_win.h"

namespace tessaly::win {

class LayeredPicture {
public:
    LayeredPicture() = default;
    ~LayeredPicture() { Release(); }
    LayeredPicture(const LayeredPicture&) = delete;
    LayeredPicture& operator=(const LayeredPicture&) = delete;

    // Makes the window layered and the PNG resource of that id its content,
    // shown by Present.
    void Load(HWND window, int pngId);
    // Decodes the picture and hands it to the system, once per load; the
    // window's WM_SHOWWINDOW calls it, before the window appears.
    void Present();
    // The memory DC gets its first bitmap back before the DC and the bitmap
    // are deleted.
    void Release();
    const LayeredCanvas& canvas() const { return canvas_; }

private:
    HWND window_ = nullptr;
    int pngId_ = 0;
    bool presented_ = false;
    LayeredCanvas canvas_;
};

} // namespace tessaly::win
