#pragma once
// The few window calls the tab model makes, behind an interface: the model
// stays portable, and the order of its calls can be checked with a fake. The
// tab strip hands the collection the real ones.

#include <cstdint>

namespace tessaly {

// A window handle as the model passes it along; it never looks inside.
using WindowHandle = std::uintptr_t;

struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class TabWindowCalls {
public:
    virtual ~TabWindowCalls() = default;
    virtual std::uint32_t GetWindowStyle(WindowHandle window) = 0;
    virtual void SetWindowStyle(WindowHandle window, std::uint32_t style) = 0;
    // A parent of 0 makes the window a top-level one.
    virtual void SetParent(WindowHandle window, WindowHandle parent) = 0;
    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;
    virtual WindowRect GetWindowRect(WindowHandle window) = 0;
    // Moves the window to (x, y) and to the top, keeping its size; shows it
    // and lets a changed frame style take effect.
    virtual void SetWindowPos(WindowHandle window, int x, int y) = 0;
    virtual void SetActiveWindow(WindowHandle window) = 0;
    // Invalidates the whole window and asks for a paint even if nothing is dirty.
    virtual void RedrawWindow(WindowHandle window) = 0;
};

} // namespace tessaly
