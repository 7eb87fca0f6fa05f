#include "app/LayeredPicture_win.h"

#include "app/StartupPrefetch_win.h"

namespace tessaly::win {

void LayeredPicture::Load(HWND window, int pngId) {
    Release();
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    window_ = window;
    pngId_ = pngId;
}

void LayeredPicture::Present() {
    if (!window_ || presented_) return;
    presented_ = true;
    canvas_ = StartupPrefetch::Take(pngId_);
    if (!canvas_.bitmap) canvas_ = DecodePngResource(pngId_);
    PaintLayered(window_, canvas_);
}

void LayeredPicture::Release() {
    canvas_.Reset();
    window_ = nullptr;
    presented_ = false;
}

} // namespace tessaly::win
