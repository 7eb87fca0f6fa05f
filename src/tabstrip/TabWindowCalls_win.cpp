#include "tabstrip/TabWindowCalls_win.h"

namespace tessaly::win {

// Results are not examined: a failed call leaves the window as it was, and
// the model goes on, as it always has.

std::uint32_t Win32TabWindowCalls::GetWindowStyle(WindowHandle window) {
    return static_cast<std::uint32_t>(GetWindowLongPtrW(ToHwnd(window), GWL_STYLE));
}

void Win32TabWindowCalls::SetWindowStyle(WindowHandle window, std::uint32_t style) {
    SetWindowLongPtrW(ToHwnd(window), GWL_STYLE, static_cast<LONG>(style));
}

void Win32TabWindowCalls::SetParent(WindowHandle window, WindowHandle parent) {
    ::SetParent(ToHwnd(window), ToHwnd(parent));
}

int Win32TabWindowCalls::ScreenWidth() {
    return GetSystemMetrics(SM_CXSCREEN);
}

int Win32TabWindowCalls::ScreenHeight() {
    return GetSystemMetrics(SM_CYSCREEN);
}

WindowRect Win32TabWindowCalls::GetWindowRect(WindowHandle window) {
    RECT r{};
    ::GetWindowRect(ToHwnd(window), &r);
    return {r.left, r.top, r.right, r.bottom};
}

void Win32TabWindowCalls::SetWindowPos(WindowHandle window, int x, int y) {
    ::SetWindowPos(ToHwnd(window), nullptr, x, y, 0, 0,
                   SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOSIZE);
}

void Win32TabWindowCalls::SetActiveWindow(WindowHandle window) {
    ::SetActiveWindow(ToHwnd(window));
}

void Win32TabWindowCalls::RedrawWindow(WindowHandle window) {
    ::RedrawWindow(ToHwnd(window), nullptr, nullptr, RDW_INTERNALPAINT | RDW_INVALIDATE);
}

} // namespace tessaly::win
