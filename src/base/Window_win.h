#pragma once
// What every window of the program shares: class registration, and a window
// procedure that reaches its C++ object through GWLP_USERDATA. The link is cut
// at WM_NCDESTROY, so no message reaches an object whose window is gone, and no
// exception leaves the procedure: it is written to the error log.
// Window procedures that other code installs later chain in front of this one.
//
// A handler may destroy the object whose message it handles (a Click that
// closes the window holding the button): code that raises events watches the
// object's lifetime() and leaves without touching it once it has gone.

#include <windows.h>

#include "base/Lifetime.h"

namespace tessaly::win {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }
    bool IsCreated() const { return hwnd_ != nullptr; }

protected:
    struct WindowClass {
        const wchar_t* name;
        UINT style = 0;
        HBRUSH background = nullptr;
    };
    HWND Create(const WindowClass& windowClass, DWORD exStyle, DWORD style, const wchar_t* title,
                int x, int y, int width, int height, HWND parent);
    void Destroy();

    // Gets every message while the window exists. The default passes it on.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs after the window is gone (hwnd() is null by then).
    virtual void OnDestroyed() {}
    // Draws the window's invalid part; PaintMessage answers WM_PAINT with it.
    virtual void OnPaint(HDC /*dc*/) {}
    LRESULT PaintMessage();
    Lifetime& lifetime() { return lifetime_; }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    Lifetime lifetime_;
};

HINSTANCE ModuleInstance();

// Gives the window a rounded-rectangle region from (0, 0); the window owns it.
void RectRgn(HWND hWnd, short right, short Buttom, short ellipseWidth, short ellipseHeight);

} // namespace tessaly::win
