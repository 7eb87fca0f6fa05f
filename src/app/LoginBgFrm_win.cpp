#include "app/LoginBgFrm_win.h"

#include "app/Texts.h"
#include "resources/ResourceIds.h"

namespace tessaly::win {
namespace {

// Only one login background exists at a time.
struct {
    WNDPROC previous = nullptr;
    HWND content = nullptr;
} g_hook;

FormDesign BackgroundDesign() {
    FormDesign design;
    design.className = L"TessalyLoginBgFrm";
    design.caption = std::wstring(texts::kGameTitle) + texts::kClientSuffix;
    design.clientWidthTwips = 18555; // 1237 x 696 pixels, the background image
    design.clientHeightTwips = 10440;
    // No caption and no sizing frame; the system menu and minimise box keep
    // the taskbar button working.
    design.style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX;
    return design;
}

} // namespace

void HookLoginBg(HWND hWnd, HWND content) {
    g_hook.content = content;
    g_hook.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LoginBgProc)));
}

void UnhookLoginBg(HWND hWnd) {
    if (!g_hook.previous) return;
    SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_hook.previous));
    g_hook = {};
}

LRESULT CALLBACK LoginBgProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_MOVE && g_hook.content) {
        RECT rect{};
        GetWindowRect(hWnd, &rect);
        SetWindowPos(g_hook.content, nullptr, rect.left, rect.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const WNDPROC previous = g_hook.previous;
    return previous ? CallWindowProcW(previous, hWnd, uMsg, wParam, lParam)
                    : DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

LoginBgFrm::LoginBgFrm(std::function<void()> closeContent)
    : Form(BackgroundDesign())
    , closeContent_(std::move(closeContent)) {}

LoginBgFrm::~LoginBgFrm() {
    if (hwnd()) UnhookLoginBg(hwnd());
    Destroy();
}

void LoginBgFrm::OnLoad() {
    picture_.Load(hwnd(), IDR_PNG_LOGIN_BG);
    HookLoginBg(hwnd(), content_);
}

void LoginBgFrm::OnUnload() {
    picture_.Release();
    UnhookLoginBg(hwnd());
    if (closeContent_) closeContent_();
}

LRESULT LoginBgFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SHOWWINDOW && wParam) picture_.Present();
    if (message == WM_LBUTTONDOWN) {
        // Let the system drag the window as if its caption had been pressed.
        ReleaseCapture();
        SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return 0;
    }
    if (message == WM_SIZE) {
        // Windows hides owned windows with their minimised owner and shows
        // them again on restore; not every window manager does, so say it.
        if (wParam == SIZE_MINIMIZED) ShowOwnedPopups(hwnd(), FALSE);
        if (wParam == SIZE_RESTORED && wasMinimized_) ShowOwnedPopups(hwnd(), TRUE);
        wasMinimized_ = wParam == SIZE_MINIMIZED;
    }
    return Form::HandleMessage(message, wParam, lParam);
}

} // namespace tessaly::win
