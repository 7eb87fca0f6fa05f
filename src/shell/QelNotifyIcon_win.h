#pragma once
// One icon in the taskbar's notification area for a window. Clicks come back
// to the window as the message 0x1862 with the mouse message in lParam. The
// icon goes when the object does, and comes back whenever the taskbar is
// recreated (Explorer restarted, or started after the client at log-on), once
// the window passes that message on: also when the first add failed.

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace tessaly::win {

class QelNotifyIcon {
public:
    static constexpr UINT kIconId = 1000;
    static constexpr UINT kCallbackMessage = 0x1862;

    QelNotifyIcon();
    ~QelNotifyIcon();
    QelNotifyIcon(const QelNotifyIcon&) = delete;
    QelNotifyIcon& operator=(const QelNotifyIcon&) = delete;

    bool AddNotifyIcon(HWND hWnd, HICON hIcon, const std::wstring& strTip);
    bool ModifyNotifyIcon(HWND hWnd, HICON hIcon, const std::wstring& strTip);
    bool ShowBubble(const std::wstring& strTitle, const std::wstring& strInfo, DWORD eInfoFlags);
    bool HideBubble();
    bool DeleteNotifyIcon();

    // The message the shell broadcasts when the taskbar has been recreated.
    static UINT TaskbarCreatedMessage();
    // Adds the icon again after the taskbar was recreated, if one is wanted
    // (added and not deleted since), whether or not the last add succeeded.
    void OnTaskbarCreated();

private:
    void Fill(HWND hWnd, HICON hIcon, const std::wstring& strTip);
    NOTIFYICONDATAW data_{};
    bool wanted_ = false;
};

} // namespace tessaly::win
