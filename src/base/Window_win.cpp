#include "base/Window_win.h"

#include "base/ErrorLog.h"
#include "base/Handles_win.h"
#include "base/Text.h"

#include <string>

namespace tessaly::win {

HINSTANCE ModuleInstance() {
    return GetModuleHandleW(nullptr);
}

Window::~Window() {
    // A window that outlives its object would dispatch into freed memory.
    Destroy();
}

HWND Window::Create(const WindowClass& windowClass, DWORD exStyle, DWORD style,
                    const wchar_t* title, int x, int y, int width, int height, HWND parent) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(ModuleInstance(), windowClass.name, &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = windowClass.style;
        wc.lpfnWndProc = &Window::Procedure;
        wc.hInstance = ModuleInstance();
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = windowClass.background;
        wc.lpszClassName = windowClass.name;
        RegisterClassExW(&wc);
    }
    CreateWindowExW(exStyle, windowClass.name, title, style, x, y, width, height, parent, nullptr,
                    ModuleInstance(), this);
    return hwnd_;
}

void Window::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT Window::PaintMessage() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    OnPaint(dc);
    EndPaint(hwnd_, &ps);
    return 0;
}

LRESULT Window::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created =
            static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);

    LRESULT result = 0;
    const Lifetime::Watch alive(self->lifetime_);
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        LogCurrentException(L"window message " + DecimalText(message));
        result = DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY && alive.Alive()) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        try {
            self->OnDestroyed();
        } catch (...) {
            LogCurrentException(L"window destroyed");
        }
    }
    return result;
}

void RectRgn(HWND hWnd, short right, short Buttom, short ellipseWidth, short ellipseHeight) {
    UniqueRegion region(CreateRoundRectRgn(0, 0, right, Buttom, ellipseWidth, ellipseHeight));
    // On success the window owns the region and deletes it itself.
    if (region && SetWindowRgn(hWnd, region.get(), TRUE)) static_cast<void>(region.release());
}

} // namespace tessaly::win
