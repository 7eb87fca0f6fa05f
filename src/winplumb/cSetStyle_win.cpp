#include "winplumb/cSetStyle_win.h"

#include "base/Units.h"
#include "shell/ModGetTaskbarHei_win.h"

namespace tessaly::win {
namespace {

const wchar_t* ZoneCursor(int zone) {
    switch (zone) {
    case kTop:
    case kBottom:
        return IDC_SIZENS;
    case kTopRight:
    case kBottomLeft:
        return IDC_SIZENESW;
    case kRight:
    case kLeft:
        return IDC_SIZEWE;
    case kBottomRight:
    case kTopLeft:
        return IDC_SIZENWSE;
    default:
        return IDC_ARROW;
    }
}

void DrawOutline(HDC dc, const Outline& o) {
    const RECT rect{o.left, o.top, o.right, o.bottom};
    DrawFocusRect(dc, &rect);
}

int ToTwips(int pixels, double twipsPerPixel) {
    return static_cast<int>(RoundHalfEven(pixels * twipsPerPixel));
}
int ToPixels(double twips, double twipsPerPixel) {
    return static_cast<int>(RoundHalfEven(twips / twipsPerPixel));
}

} // namespace

cSetStyle::cSetStyle() {
    CursorPosition = [] {
        POINT point{};
        GetCursorPos(&point);
        return point;
    };
    subclass_.MsgCome.Connect([this](bool before, bool& handled, LRESULT& result, HWND& hwnd,
                                     UINT& message, WPARAM& wParam, LPARAM& lParam) {
        objSubclass_MsgCome(before, handled, result, hwnd, message, wParam, lParam);
    });
}

cSetStyle::~cSetStyle() {
    if (dragging_) EndDrag(false);
    if (window_) subclass_.DeleteWindowMsg(window_);
    // The subclass goes with this object and puts the window's procedure back.
}

void cSetStyle::SetWindowStyle(HWND hWnd) {
    window_ = hWnd;
    // No caption, sizing frame or border; the taskbar button keeps its system
    // menu and can minimise. Children stay clipped out of the window's own
    // painting (the pages would flicker under every repaint of the body), and
    // a window already shown stays shown.
    const auto previous = static_cast<DWORD>(GetWindowLongPtrW(hWnd, GWL_STYLE));
    SetWindowLongPtrW(hWnd, GWL_STYLE,
                      WS_SYSMENU | WS_MINIMIZEBOX | (previous & (WS_CLIPCHILDREN | WS_VISIBLE)));
    // A frame the window had goes from its non-client area at once.
    SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    subclass_.AddWindowMsgs(hWnd);
}

Outline cSetStyle::WindowOutline() const {
    RECT rect{};
    GetWindowRect(window_, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void cSetStyle::FillWorkArea() {
    const HWND target = form_ ? form_ : window_;
    const double tppX = ScreenTwipsPerPixelX(), tppY = ScreenTwipsPerPixelY();
    const double width = GetSystemMetrics(SM_CXSCREEN) * tppX;
    const double height = GetSystemMetrics(SM_CYSCREEN) * tppY - GetTaskbarHeight();
    MoveWindow(target, 0, 0, ToPixels(width, tppX), ToPixels(height, tppY), TRUE);
}

bool cSetStyle::CallWindowStateChange() {
    const HWND target = form_ ? form_ : window_;
    const double tppX = ScreenTwipsPerPixelX(), tppY = ScreenTwipsPerPixelY();
    if (maximised_) {
        MoveWindow(target, ToPixels(restore_.left, tppX), ToPixels(restore_.top, tppY),
                   ToPixels(restore_.right, tppX), ToPixels(restore_.bottom, tppY), TRUE);
        maximised_ = false;
    } else {
        RECT rect{};
        GetWindowRect(target, &rect);
        restore_ = {ToTwips(rect.left, tppX), ToTwips(rect.top, tppY),
                    ToTwips(rect.right - rect.left, tppX), ToTwips(rect.bottom - rect.top, tppY)};
        FillWorkArea();
        maximised_ = true;
    }
    return maximised_;
}

void cSetStyle::EndDrag(bool apply) {
    dragging_ = false;
    if (screen_) DrawOutline(screen_->get(), drawn_);
    if (apply) {
        MoveWindow(window_, drawn_.left, drawn_.top, drawn_.right - drawn_.left,
                   drawn_.bottom - drawn_.top, TRUE);
    }
    screen_.reset();
    if (GetCapture() == window_) ReleaseCapture();
}

void cSetStyle::objSubclass_MsgCome(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND&,
                                    UINT& uMsg, WPARAM& wParam, LPARAM& lParam) {
    // A handler of the events below may release this object and close the
    // window: once an event says so, nothing of this object is touched.
    if (!bBefore) return;
    switch (uMsg) {
    case WM_SETTINGCHANGE:
        if (!SettingChange.Raise()) return;
        if (!IsIconic(window_) && maximised_) FillWorkArea();
        break;
    case WM_SYSCOMMAND:
        // The owner's close command asks before the window goes; the default
        // procedure's close would ask a second time. With nobody listening
        // the window closes the ordinary way.
        if (wParam == SC_CLOSE && CloseClick.HasHandlers()) {
            bHandled = true;
            lReturn = 0;
            CloseClick.Raise();
        }
        break;
    case WM_SETCURSOR:
        // Over the sizing band the edge's pointer stays; the window's own
        // procedure would put the class arrow back at every move.
        if (reinterpret_cast<HWND>(wParam) == window_ && LOWORD(lParam) == HTCLIENT && !dragging_ &&
            !maximised_) {
            const POINT at = CursorPosition();
            const int zone = HitTestZone(WindowOutline(), at.x, at.y);
            if (zone != kNoZone) {
                SetCursor(LoadCursorW(nullptr, ZoneCursor(zone)));
                bHandled = true;
                lReturn = TRUE;
            }
        }
        break;
    case WM_MOUSEMOVE: {
        const POINT at = CursorPosition();
        if (!dragging_ && !maximised_) {
            zone_ = HitTestZone(WindowOutline(), at.x, at.y);
            if (!MouseSize.Raise(zone_)) return;
            SetCursor(LoadCursorW(nullptr, ZoneCursor(zone_)));
        }
        if (dragging_ && (wParam & MK_LBUTTON)) {
            const Outline proposed = MoveOutline(zone_, drawn_, at.x, at.y);
            DrawOutline(screen_->get(), drawn_);
            DrawOutline(screen_->get(), proposed);
            drawn_ = proposed;
        }
        break;
    }
    case WM_LBUTTONDOWN: {
        const POINT at = CursorPosition();
        zone_ = HitTestZone(WindowOutline(), at.x, at.y);
        if (zone_ != kNoZone && !dragging_ && !maximised_) {
            dragging_ = true;
            // Moves and the release must reach the window even once the
            // pointer has left it.
            SetCapture(window_);
            screen_ = std::make_unique<WindowDC>(nullptr);
            drawn_ = WindowOutline();
            DrawOutline(screen_->get(), drawn_);
        }
        break;
    }
    case WM_LBUTTONUP:
        if (dragging_) EndDrag(true);
        break;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a menu, a message box): the drag is off.
        if (dragging_ && reinterpret_cast<HWND>(lParam) != window_) EndDrag(false);
        break;
    default:
        break;
    }
}

} // namespace tessaly::win
