#include "base/Control_win.h"

#include "base/Units.h"

#include <windowsx.h>

namespace tessaly::win {
namespace {

RECT RectInParent(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

int ButtonOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return 2;
    default:
        return 4;
    }
}

int ButtonsHeld(WPARAM wParam) {
    return ((wParam & MK_LBUTTON) ? 1 : 0) | ((wParam & MK_RBUTTON) ? 2 : 0) |
           ((wParam & MK_MBUTTON) ? 4 : 0);
}

int ShiftState() {
    return ((GetKeyState(VK_SHIFT) < 0) ? 1 : 0) | ((GetKeyState(VK_CONTROL) < 0) ? 2 : 0) |
           ((GetKeyState(VK_MENU) < 0) ? 4 : 0);
}

int MouseShiftState(WPARAM mouseKeys) {
    return ((mouseKeys & MK_SHIFT) ? 1 : 0) | ((mouseKeys & MK_CONTROL) ? 2 : 0) |
           ((GetKeyState(VK_MENU) < 0) ? 4 : 0);
}

void Control::Create(HWND parent, int leftTwips, int topTwips, int widthTwips, int heightTwips) {
    Window::Create({className_, CS_DBLCLKS, nullptr}, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                   L"", TwipsToPixels(leftTwips), TwipsToPixels(topTwips),
                   TwipsToPixels(widthTwips), TwipsToPixels(heightTwips), parent);
    if (IsCreated()) OnCreate();
}

void Control::Move(int leftTwips, int topTwips, int widthTwips, int heightTwips) {
    if (!IsCreated()) return;
    MoveWindow(hwnd(), TwipsToPixels(leftTwips), TwipsToPixels(topTwips), TwipsToPixels(widthTwips),
               TwipsToPixels(heightTwips), TRUE);
}

int Control::Left() const {
    return PixelsToTwips(RectInParent(hwnd()).left);
}
int Control::Top() const {
    return PixelsToTwips(RectInParent(hwnd()).top);
}
int Control::Width() const {
    const RECT r = RectInParent(hwnd());
    return PixelsToTwips(r.right - r.left);
}
int Control::Height() const {
    const RECT r = RectInParent(hwnd());
    return PixelsToTwips(r.bottom - r.top);
}

void Control::SetVisible(bool visible) {
    if (IsCreated()) ShowWindow(hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

void Control::MouseButton(UINT message, WPARAM wParam, LPARAM lParam) {
    int button = ButtonOf(message);
    int shift = MouseShiftState(wParam);
    float x = static_cast<float>(PixelsToTwips(GET_X_LPARAM(lParam)));
    float y = static_cast<float>(PixelsToTwips(GET_Y_LPARAM(lParam)));
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        pressedButtons_ |= button;
        SetCapture(hwnd());
        OnMouseDown(button, shift, x, y);
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        // The second press of a double click: it still captures, so its release
        // is seen, but it does not make a Click.
        SetCapture(hwnd());
        OnDblClick(button);
        break;
    default: { // a release
        const bool wasPressed = (pressedButtons_ & button) != 0;
        pressedButtons_ &= ~button;
        if (pressedButtons_ == 0 && GetCapture() == hwnd()) ReleaseCapture();
        const Lifetime::Watch alive(lifetime());
        OnMouseUp(button, shift, x, y);
        if (!alive.Alive()) return; // a MouseUp handler closed the control's window
        RECT client;
        GetClientRect(hwnd(), &client);
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (wasPressed && IsCreated() && PtInRect(&client, at)) OnClick();
        break;
    }
    }
}

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        OnResize();
        return 0;
    case WM_PAINT:
        return PaintMessage();
    case WM_ERASEBKGND:
        return 1; // controls paint every pixel themselves; erasing would flicker
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        MouseButton(message, wParam, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd()) pressedButtons_ = 0;
        return 0;
    case WM_MOUSEMOVE: {
        int button = ButtonsHeld(wParam);
        int shift = MouseShiftState(wParam);
        float x = static_cast<float>(PixelsToTwips(GET_X_LPARAM(lParam)));
        float y = static_cast<float>(PixelsToTwips(GET_Y_LPARAM(lParam)));
        OnMouseMove(button, shift, x, y);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP: {
        int key = static_cast<int>(wParam);
        int shift = ShiftState();
        message == WM_KEYDOWN ? OnKeyDown(key, shift) : OnKeyUp(key, shift);
        return 0;
    }
    case WM_CHAR: {
        int ascii = static_cast<int>(wParam);
        OnKeyPress(ascii);
        return 0;
    }
    case WM_GETDLGCODE: {
        // Enter and Space belong to the control; Tab still moves the focus.
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        const bool own = msg && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) &&
                         (msg->wParam == VK_RETURN || msg->wParam == VK_SPACE);
        return DLGC_WANTCHARS | (own ? DLGC_WANTMESSAGE : 0);
    }
    case WM_SETFOCUS:
        OnFocus(true);
        return 0;
    case WM_KILLFOCUS:
        OnFocus(false);
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

} // namespace tessaly::win
