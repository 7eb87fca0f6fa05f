// Measures what the image button costs where it should cost nothing, and
// shows the exit dialog for a look. Not a test: run it by hand under Wine.
//
//   controls_bench rest [seconds]   timer wake-ups of buttons at rest and of one hovered
//   controls_bench move [moves]     repaints and time of pointer moves inside a button
//   controls_bench show [ms]        the exit dialog over an owner, answered No after ms

#include <windows.h>

#include "base/Form_win.h"
#include "support/TestWindows_win.h"
#include "controls/MsgFrm_win.h"
#include "controls/iButton_win.h"
#include "resources/ResourceIds.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

// Runs the message loop for a while and counts the timer messages that reach
// the given windows, split at `settle` seconds.
struct TimerCount {
    long beforeSettle = 0;
    long after = 0;
};
TimerCount CountTimers(const std::vector<HWND>& windows, double seconds, double settle) {
    TimerCount count;
    const LARGE_INTEGER start = Now();
    for (;;) {
        const double elapsed = Seconds(start, Now());
        if (elapsed >= seconds) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>((seconds - elapsed) * 1000) + 1, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER) {
                for (HWND w : windows)
                    if (msg.hwnd == w)
                        ++(Seconds(start, Now()) < settle ? count.beforeSettle : count.after);
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return count;
}

int Rest(double seconds) {
    SetCursorPos(1, 1);
    test::HostForm host(600, 200);
    host.Show();
    constexpr int kButtons = 20;
    std::vector<std::unique_ptr<iButton>> buttons;
    std::vector<HWND> windows;
    const auto skin = Picture::LoadBitmapResource(IDB_CAPTION_MIN);
    for (int i = 0; i < kButtons; ++i) {
        buttons.push_back(std::make_unique<iButton>());
        buttons.back()->Create(host.hwnd(), 150 + i * 420, 300, 360, 270);
        buttons.back()->SetBackPicture(skin);
        windows.push_back(buttons.back()->hwnd());
    }
    const TimerCount resting = CountTimers(windows, seconds, 0.2);
    std::printf("at rest: %d buttons, %.1f s: %ld leave-poll ticks in the first 0.2 s, %ld after "
                "(%.2f per button per second)\n",
                kButtons, seconds, resting.beforeSettle, resting.after,
                resting.after / (kButtons * (seconds - 0.2)));

    // For comparison, one button with the pointer over it polls until it leaves.
    RECT rect{};
    GetWindowRect(windows[0], &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(windows[0], WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    const TimerCount hovered = CountTimers(windows, seconds, 0.0);
    std::printf("hovered: 1 of %d buttons under the pointer, %.1f s: %ld ticks (%.1f per second)\n",
                kButtons, seconds, hovered.after, hovered.after / seconds);
    SetCursorPos(1, 1);
    CountTimers(windows, 0.2, 0.0);
    host.Close();
    return 0;
}

int Move(int moves) {
    test::HostForm host(600, 200);
    host.Show();
    iButton button;
    button.Create(host.hwnd(), 150, 150, 975, 375);
    button.SetAutoSize(false);
    button.SetBackPicture(Picture::LoadBitmapResource(IDB_ANSWER_BUTTON));
    button.SetCaption(L"是");
    UpdateWindow(host.hwnd());
    RECT rect{};
    GetWindowRect(button.hwnd(), &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(button.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 12)); // enters: hover look
    UpdateWindow(button.hwnd());

    // Whether a move asks for a repaint: the surface invalidates the window
    // whenever it draws.
    long repainted = 0;
    for (int i = 0; i < moves; ++i) {
        SendMessageW(button.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5 + i % 55, 3 + i % 19));
        if (GetUpdateRect(button.hwnd(), nullptr, FALSE)) {
            ++repainted;
            ValidateRect(button.hwnd(), nullptr);
        }
    }
    const LARGE_INTEGER start = Now();
    for (int i = 0; i < moves; ++i)
        SendMessageW(button.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5 + i % 55, 3 + i % 19));
    const double moving = Seconds(start, Now());
    std::printf("moves inside: %d, %ld asked for a repaint, %.1f us per move\n", moves, repainted,
                moving * 1e6 / moves);

    // For comparison, the cost of a change of look (hover <-> pressed).
    const int changes = moves / 10 > 0 ? moves / 10 : 1;
    const LARGE_INTEGER paintStart = Now();
    for (int i = 0; i < changes; ++i)
        button.cMouseAction(i % 2 ? kStateHover : kStatePressed, false);
    const double painting = Seconds(paintStart, Now());
    std::printf("changes of look: %d, %.1f us each\n", changes, painting * 1e6 / changes);
    SetCursorPos(1, 1);
    host.Close();
    return 0;
}

int Show(int milliseconds) {
    test::HostForm owner(600, 200);
    owner.Show();
    bool m_bExit = true;
    MsgFrm dialog(m_bExit, {L"Tessaly客户端", L"窗口即将关闭，确定要退出游戏？", L"是", L"否"});
    SetTimer(nullptr, 0, static_cast<UINT>(milliseconds), [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        // Closed as Alt+F4 would: the flag stays as it was.
        PostMessageW(GetForegroundWindow(), WM_CLOSE, 0, 0);
    });
    dialog.ShowModal(owner.hwnd());
    std::printf("dialog closed, m_bExit %s\n", m_bExit ? "True" : "False");
    owner.Close();
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const wchar_t* mode = argc > 1 ? argv[1] : L"";
    const wchar_t* value = argc > 2 ? argv[2] : nullptr;
    if (std::wcscmp(mode, L"rest") == 0) return Rest(value ? std::wcstod(value, nullptr) : 3.0);
    if (std::wcscmp(mode, L"move") == 0)
        return Move(value ? std::wcstol(value, nullptr, 10) : 20000);
    if (std::wcscmp(mode, L"show") == 0)
        return Show(value ? std::wcstol(value, nullptr, 10) : 3000);
    std::fprintf(stderr, "usage: controls_bench rest [seconds] | move [moves] | show [ms]\n");
    return 2;
}
