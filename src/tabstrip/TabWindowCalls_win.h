#pragma once
// The tab model's window calls, made on real windows.

#include <windows.h>

#include "tabs/TabWindowCalls.h"

namespace tessaly::win {

inline HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
inline WindowHandle ToHandle(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

class Win32TabWindowCalls final : public TabWindowCalls {
public:
    std::uint32_t GetWindowStyle(WindowHandle window) override;
    void SetWindowStyle(WindowHandle window, std::uint32_t style) override;
    void SetParent(WindowHandle window, WindowHandle parent) override;
    int ScreenWidth() override;
    int ScreenHeight() override;
    WindowRect GetWindowRect(WindowHandle window) override;
    void SetWindowPos(WindowHandle window, int x, int y) override;
    void SetActiveWindow(WindowHandle window) override;
    void RedrawWindow(WindowHandle window) override;
};

} // namespace tessaly::win
