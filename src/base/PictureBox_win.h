#pragma once
// A plain child window that shows a background colour and, optionally, a
// bitmap at its top-left corner; the windows use it as a container that clips
// what it holds (a browser) and as a simple picture button.

#include "base/Control_win.h"
#include "base/Event.h"
#include "base/Handles_win.h"

namespace tessaly::win {

class PictureBox : public Control {
public:
    explicit PictureBox(COLORREF background);
    ~PictureBox() override;

    Event<> Click;
    Event<int& /*button*/, int& /*shift*/, float& /*x*/, float& /*y*/> MouseDown;
    Event<> Resized;

    // Takes ownership of the bitmap.
    void SetPicture(UniqueBitmap bitmap);
    // Creates it in pixels, which is how the designs of the login window are given.
    void CreatePixels(HWND parent, int left, int top, int width, int height);

protected:
    void OnCreate() override;
    void OnResize() override { Resized.Raise(); }
    void OnPaint(HDC dc) override;
    void OnClick() override { Click.Raise(); }
    void OnMouseDown(int& button, int& shift, float& x, float& y) override {
        MouseDown.Raise(button, shift, x, y);
    }

private:
    COLORREF background_;
    UniqueBitmap picture_;
};

} // namespace tessaly::win
