// tessaly-tour <tessaly-open.exe> <address of a second game>
//
// Plays the player's part of the demo tour against the running client: once
// the main window shows, another program sends a second game, F10 hides and
// shows the window, the close button asks, No keeps the game, and Yes ends it.
// Every step waits for what the player would wait for, and says what it does.

#include <windows.h>

#include "support/Input_win.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using tessaly::test::ClickCentreOf;
using tessaly::test::PressKey;
using tessaly::test::WaitUntil;

void Say(const char* text) {
    std::printf("tour: %s\n", text);
    std::fflush(stdout);
}

HWND Shown(const wchar_t* className) {
    const HWND window = FindWindowW(className, nullptr);
    return window && IsWindowVisible(window) ? window : nullptr;
}

// The child of this size in pixels (the skins fix the buttons' sizes).
HWND ChildSized(HWND parent, int width, int height, bool rightmost = false) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        if (r.right - r.left == width && r.bottom - r.top == height) found.push_back(child);
    }
    if (found.empty()) return nullptr;
    const auto left = [](HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return r.left;
    };
    std::sort(found.begin(), found.end(), [&](HWND a, HWND b) { return left(a) < left(b); });
    return rightmost ? found.back() : found.front();
}

bool Run(std::wstring commandLine) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, 20000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code == 0;
}

bool AnswerExitDialog(bool yes) {
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = Shown(L"TessalyMsgFrm")) != nullptr; })) return false;
    Sleep(1500); // long enough to be seen in the screenshots
    const HWND button = ChildSized(dialog, 65, 25, !yes);
    if (!button) return false;
    ClickCentreOf(button);
    return WaitUntil([&] { return !Shown(L"TessalyMsgFrm"); });
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        Say("usage: tessaly-tour <tessaly-open.exe> <address>");
        return 64;
    }
    HWND main = nullptr;
    Say("waiting for the player to enter server 1 from the login window");
    if (!WaitUntil([&] { return (main = Shown(L"TessalyWebMainFrm")) != nullptr; }, 90000)) {
        Say("the main window did not show");
        return 1;
    }
    Sleep(3000);
    Say("another program sends server 2 (tessaly-open)");
    if (!Run(L"\"" + std::wstring(argv[1]) + L"\" \"" + argv[2] + L"\""))
        Say("tessaly-open failed");
    Sleep(3000);
    Say("F10 hides the window; it stays in the notification area");
    PressKey(VK_F10);
    WaitUntil([&] { return !IsWindowVisible(main); });
    Sleep(2000);
    Say("F10 shows it again");
    PressKey(VK_F10);
    WaitUntil([&] { return IsWindowVisible(main) != FALSE; });
    Sleep(2000);
    const HWND closeButton = ChildSized(main, 43, 18);
    Say("the close button asks first; No keeps the games");
    ClickCentreOf(closeButton);
    if (!AnswerExitDialog(false)) Say("the exit dialog did not answer");
    Sleep(2000);
    Say("asked again, Yes closes the client");
    ClickCentreOf(closeButton);
    if (!AnswerExitDialog(true)) Say("the exit dialog did not answer");
    return 0;
}
