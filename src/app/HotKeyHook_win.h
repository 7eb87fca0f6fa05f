#pragma once
// F10 and the tray icon hide and show the main window (a click on the tray
// icon restores a minimised one instead); a right click on the tray icon
// opens its menu. A procedure installed in front of the main
// window's own one sees the hot key and tray messages; the hot key (id 1000,
// F10 without modifiers) is taken from the whole desktop while it is installed.

#include <windows.h>

#include <functional>

namespace tessaly::win {

// Either callback may close the main window and unhook it while it runs.
struct MainWindowHook {
    std::function<void()> openMenu;       // a right click on the tray icon
    std::function<void()> taskbarCreated; // Explorer restarted: the tray icon must be added again
};

inline constexpr int kHotKeyId = 1000;

void HookMainWindow(HWND hWnd, MainWindowHook hook);
// Releases the hot key and puts the previous procedure back. If another hook
// was installed in front of this one meanwhile, this one only passes messages
// on from then, so that hook's own restore stays valid.
void UnhookMainWindow(HWND hWnd);
LRESULT CALLBACK MainWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
void ToggleVisible(HWND hWnd);

} // namespace tessaly::win
