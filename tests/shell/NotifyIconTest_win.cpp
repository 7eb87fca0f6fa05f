#include <windows.h>
#include <shellapi.h>

#include "shell/QelNotifyIcon_win.h"

#include <gtest/gtest.h>

#include <string>

using namespace tessaly::win;

namespace {

bool IconExists(HWND window) {
    NOTIFYICONDATAW probe{};
    probe.cbSize = sizeof probe;
    probe.hWnd = window;
    probe.uID = QelNotifyIcon::kIconId;
    return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE; // only an existing icon can be changed
}

} // namespace

TEST(NotifyIcon, AddsCutsItsTipAndGoesWithTheObject) {
    // A shown window brings up the desktop process, which hosts the tray.
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                        nullptr, nullptr, nullptr, nullptr);
    const HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    {
        QelNotifyIcon tray;
        EXPECT_FALSE(tray.DeleteNotifyIcon()); // before any add: no effect
        EXPECT_TRUE(tray.AddNotifyIcon(window, icon,
                                       std::wstring(300, L'T'))); // far longer than the tip field
        EXPECT_TRUE(IconExists(window));
        EXPECT_TRUE(tray.ShowBubble(L"Tessaly", L"balloon", NIIF_INFO));
        EXPECT_TRUE(tray.HideBubble());
        // After the taskbar comes back, the icon is added again.
        tray.DeleteNotifyIcon();
        EXPECT_FALSE(IconExists(window));
        tray.OnTaskbarCreated(); // not added: nothing to put back
        EXPECT_FALSE(IconExists(window));
        tray.AddNotifyIcon(window, icon, L"Tessaly");
        NOTIFYICONDATAW gone{}; // the taskbar restarts without it
        gone.cbSize = sizeof gone;
        gone.hWnd = window;
        gone.uID = QelNotifyIcon::kIconId;
        Shell_NotifyIconW(NIM_DELETE, &gone);
        tray.OnTaskbarCreated();
        EXPECT_TRUE(IconExists(window));
        // An add that fails (the shell not ready at log-on; here, the place
        // taken) still wants the icon back with the taskbar.
        QelNotifyIcon late;
        EXPECT_FALSE(late.AddNotifyIcon(window, icon, L"Tessaly"));
        Shell_NotifyIconW(NIM_DELETE, &gone);
        late.OnTaskbarCreated();
        EXPECT_TRUE(IconExists(window));
    }
    EXPECT_FALSE(IconExists(window)); // released without DeleteNotifyIcon
    EXPECT_NE(QelNotifyIcon::TaskbarCreatedMessage(), 0u);
    DestroyWindow(window);
}
