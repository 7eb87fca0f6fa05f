#include "base/PictureBox_win.h"

#include "base/Units.h"

namespace tessaly::win {

PictureBox::PictureBox(COLORREF background)
    : Control(L"TessalyPictureBox")
    , background_(background) {}

PictureBox::~PictureBox() {
    Destroy();
}

void PictureBox::CreatePixels(HWND parent, int left, int top, int width, int height) {
    Create(parent, PixelsToTwips(left), PixelsToTwips(top), PixelsToTwips(width),
           PixelsToTwips(height));
}

void PictureBox::OnCreate() {
    // A container must not paint over the windows it holds.
    SetWindowLongPtrW(hwnd(), GWL_STYLE, GetWindowLongPtrW(hwnd(), GWL_STYLE) | WS_CLIPCHILDREN);
}

void PictureBox::SetPicture(UniqueBitmap bitmap) {
    picture_ = std::move(bitmap);
    if (IsCreated()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void PictureBox::OnPaint(HDC dc) {
    RECT client;
    GetClientRect(hwnd(), &client);
    UniqueBrush brush(CreateSolidBrush(background_));
    FillRect(dc, &client, brush.get());
    if (!picture_) return;
    BITMAP info{};
    GetObjectW(picture_.get(), sizeof info, &info);
    UniqueDC source(CreateCompatibleDC(dc));
    Selection selected(source.get(), picture_.get());
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
}

} // namespace tessaly::win
