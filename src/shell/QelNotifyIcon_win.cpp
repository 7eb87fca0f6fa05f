#include "shell/QelNotifyIcon_win.h"

#include <algorithm>
#include <cwchar>

namespace tessaly::win {
namespace {

// Texts are kept as far as the record's fields hold them.
template <std::size_t N> void CopyCut(wchar_t (&field)[N], const std::wstring& text) {
    const std::size_t count = std::min(text.size(), N - 1);
    std::wmemcpy(field, text.data(), count);
    field[count] = L'\0';
}

} // namespace

QelNotifyIcon::QelNotifyIcon() {
    data_.cbSize = sizeof data_;
}

QelNotifyIcon::~QelNotifyIcon() {
    DeleteNotifyIcon();
}

void QelNotifyIcon::Fill(HWND hWnd, HICON hIcon, const std::wstring& strTip) {
    data_.cbSize = sizeof data_;
    data_.hIcon = hIcon;
    data_.hWnd = hWnd;
    data_.uID = kIconId;
    data_.uCallbackMessage = kCallbackMessage;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    CopyCut(data_.szTip, strTip);
}

bool QelNotifyIcon::AddNotifyIcon(HWND hWnd, HICON hIcon, const std::wstring& strTip) {
    Fill(hWnd, hIcon, strTip);
    wanted_ = true;
    // The shell broadcasts from a process of its own integrity level: let its
    // message through to a client that runs elevated.
    ChangeWindowMessageFilterEx(hWnd, TaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
    return Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
}

bool QelNotifyIcon::ModifyNotifyIcon(HWND hWnd, HICON hIcon, const std::wstring& strTip) {
    Fill(hWnd, hIcon, strTip);
    return Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
}

bool QelNotifyIcon::ShowBubble(const std::wstring& strTitle, const std::wstring& strInfo,
                               DWORD eInfoFlags) {
    CopyCut(data_.szInfoTitle, strTitle);
    CopyCut(data_.szInfo, strInfo);
    data_.dwInfoFlags = eInfoFlags;
    return Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
}

bool QelNotifyIcon::HideBubble() {
    data_.szInfoTitle[0] = L'\0';
    data_.szInfo[0] = L'\0';
    return Shell_NotifyIconW(NIM_MODIFY, &data_) != FALSE;
}

bool QelNotifyIcon::DeleteNotifyIcon() {
    wanted_ = false;
    return data_.hWnd && Shell_NotifyIconW(NIM_DELETE, &data_) != FALSE;
}

UINT QelNotifyIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void QelNotifyIcon::OnTaskbarCreated() {
    if (wanted_) Shell_NotifyIconW(NIM_ADD, &data_);
}

} // namespace tessaly::win
