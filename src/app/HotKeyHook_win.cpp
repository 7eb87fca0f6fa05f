#include "app/HotKeyHook_win.h"

#include "base/ErrorLog.h"
#include "shell/QelNotifyIcon_win.h"

namespace tessaly::win {
namespace {

struct {
    HWND window = nullptr;
    WNDPROC previous = nullptr;
    bool passOn = false; // unhooked, but still in the chain
    MainWindowHook hook;
} g_state;

// Runs a copy: the action may close the main window, and unhooking it
// destroys the hook's own callbacks while this one is still running.
void Run(std::function<void()> action, const wchar_t* what) {
    if (action) AttemptLogged(what, action);
}

// A click on the tray icon brings a minimised window back instead of hiding it.
void TrayClick(HWND hWnd) {
    if (IsIconic(hWnd)) {
        ShowWindow(hWnd, SW_RESTORE);
        SetForegroundWindow(hWnd);
    } else {
        ToggleVisible(hWnd);
    }
}

} // namespace

void ToggleVisible(HWND hWnd) {
    ShowWindow(hWnd, IsWindowVisible(hWnd) ? SW_HIDE : SW_SHOW);
}

void HookMainWindow(HWND hWnd, MainWindowHook hook) {
    // Taken or not, the tray icon and the menu still toggle the window. A held
    // F10 toggles once, not at the keyboard's repeat rate.
    RegisterHotKey(hWnd, kHotKeyId, MOD_NOREPEAT, VK_F10);
    g_state.window = hWnd;
    g_state.hook = std::move(hook);
    g_state.passOn = false;
    g_state.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWndProc)));
}

void UnhookMainWindow(HWND hWnd) {
    UnregisterHotKey(hWnd, kHotKeyId);
    g_state.hook = {};
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == &MainWndProc) {
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_state.previous));
        g_state = {};
    } else {
        g_state.passOn = true;
    }
}

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = g_state.previous;
    if (!g_state.passOn) {
        if (uMsg == WM_HOTKEY && HIWORD(lParam) == VK_F10) {
            ToggleVisible(hWnd);
        } else if (uMsg == QelNotifyIcon::kCallbackMessage) {
            if (lParam == WM_LBUTTONUP) TrayClick(hWnd);
            if (lParam == WM_RBUTTONUP) Run(g_state.hook.openMenu, L"tray menu");
        } else if (uMsg == QelNotifyIcon::TaskbarCreatedMessage()) {
            Run(g_state.hook.taskbarCreated, L"tray icon");
        }
    }
    const LRESULT result = previous ? CallWindowProcW(previous, hWnd, uMsg, wParam, lParam)
                                    : DefWindowProcW(hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_NCDESTROY && hWnd == g_state.window) g_state = {};
    return result;
}

} // namespace tessaly::win
