#include "app/ScriptedBrowserView_win.h"

#include "base/Handles_win.h"

namespace tessaly::win {
namespace {
constexpr UINT_PTR kStepTimer = 1;
}

ScriptedBrowserView::ScriptedBrowserView(HWND container, BrowserScript script)
    : ScriptedBrowser(std::move(script)) {
    view_.Open(container);
    // Steps run from the timer, never inside the call that queued them: a
    // real engine also completes pages after Navigate has returned.
    StepsQueued = [this] {
        if (view_.hwnd()) SetTimer(view_.hwnd(), kStepTimer, 0, nullptr);
    };
}

ScriptedBrowserView::~ScriptedBrowserView() {
    StepsQueued = nullptr;
}

void ScriptedBrowserView::Navigate(const std::wstring& url) {
    ScriptedBrowser::Navigate(url);
    if (view_.hwnd()) InvalidateRect(view_.hwnd(), nullptr, TRUE);
}

void ScriptedBrowserView::Place(int left, int top, int width, int height) {
    ScriptedBrowser::Place(left, top, width, height);
    if (view_.hwnd()) MoveWindow(view_.hwnd(), left, top, width, height, TRUE);
}

void ScriptedBrowserView::Focus() {
    ScriptedBrowser::Focus();
    if (view_.hwnd()) SetFocus(view_.hwnd());
}

void ScriptedBrowserView::Step() {
    const HWND window = view_.hwnd();
    KillTimer(window, kStepTimer);
    const auto wait = Advance();
    // Advance may have run handlers that closed the window holding us; they
    // only ever post that request, so the view still exists here.
    if (wait) SetTimer(window, kStepTimer, static_cast<UINT>(*wait), nullptr);
    InvalidateRect(window, nullptr, TRUE);
}

void ScriptedBrowserView::View::Open(HWND container) {
    RECT client{};
    GetClientRect(container, &client);
    Create({L"TessalyScriptedBrowser", 0, nullptr}, 0, WS_CHILD | WS_VISIBLE, L"", 0, 0,
           client.right, client.bottom, container);
}

LRESULT ScriptedBrowserView::View::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kStepTimer) owner_.Step();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        return PaintMessage();
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}

void ScriptedBrowserView::View::OnPaint(HDC dc) {
    RECT client;
    GetClientRect(hwnd(), &client);
    UniqueBrush page(CreateSolidBrush(RGB(246, 248, 252)));
    FillRect(dc, &client, page.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(40, 60, 100));
    const std::wstring& current =
        owner_.DocumentUrl().empty()
            ? (owner_.navigations().empty() ? std::wstring() : owner_.navigations().back())
            : owner_.DocumentUrl();
    std::wstring text = L"Scripted page (no engine renders pages here)\n\n";
    if (!owner_.title().empty()) text += owner_.title() + L"\n";
    text += current;
    RECT inner{client.left + 24, client.top + 24, client.right - 24, client.bottom - 24};
    DrawTextW(dc, text.c_str(), -1, &inner, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

} // namespace tessaly::win
