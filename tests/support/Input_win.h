#pragma once
// Real input for window tests, as the player gives it: the pointer moves and
// clicks, keys go down and up. It reaches whatever window is at that point
// or has the focus, in this process or another.

#include <windows.h>

namespace tessaly::test {

// The pointer arrives first and rests a moment, as a player's does: a button
// that follows the pointer sees it come in before it is pressed.
inline void ClickAt(POINT at) {
    SetCursorPos(at.x, at.y);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    move.mi.dx = at.x * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
    move.mi.dy = at.y * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
    SendInput(1, &move, sizeof(INPUT));
    Sleep(150);
    INPUT press{};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &press, sizeof(INPUT));
    Sleep(50);
    press.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &press, sizeof(INPUT));
}

inline void ClickCentreOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

inline void PressKey(WORD key) {
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// Polls without pumping (the windows belong to another process); returns
// whether `done` held before the time was up.
template <class Condition> bool WaitUntil(Condition done, DWORD timeoutMs = 10000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() > end) return false;
        Sleep(20);
    }
    return true;
}

} // namespace tessaly::test
