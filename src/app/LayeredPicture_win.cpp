#include "app/LayeredPicture_win.h"

namespace tessaly::win {

void LayeredPicture::Paint(HWND window, int pngId) {
    Release();
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    gdiplus_ = std::make_unique<GdiplusSession>();
    image_ = LoadPngResource(pngId, L"PNG");
    canvas_ = PaintLayered(window, image_.get());
}

void LayeredPicture::Release() {
    image_.Reset();
    gdiplus_.reset();
    canvas_.Reset();
}

} // namespace tessaly::win
