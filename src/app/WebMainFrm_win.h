#pragma once
// The client's main window: borderless and skinned, with rounded corners; its
// top band holds the logo, the tab strip, two link buttons and four caption
// buttons, and its body the page of the selected tab. One tab per game
// address; more addresses come from the login window and from other programs
// over DDE. It sits in the notification area, F10 hides and shows it, and it
// asks before it closes.
//
// Every command that can close the window is carried out from a posted
// message, never from inside the handler of a button, the strip, the menu or
// a hook that would still be running on a destroyed window.

#include "app/Browser.h"
#include "app/DdeServer_win.h"
#include "shell/Platform.h"
#include "app/WebUrl_win.h"
#include "base/Config.h"
#include "base/Form_win.h"
#include "base/Handles_win.h"
#include "base/PictureBox_win.h"
#include "controls/BForm_win.h"
#include "controls/Surface_win.h"
#include "controls/ToolTip_win.h"
#include "controls/iButton_win.h"
#include "shell/QelNotifyIcon_win.h"
#include "tabstrip/uTab_win.h"
#include "winplumb/cSetStyle_win.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessaly::win {

struct MainContext {
    Platform& platform;
    const Config& config;
    BrowserMaker createBrowser;
    // Brings the login window back (loading it again if it was closed).
    std::function<void()> showLogin;
    // Ends the process at once, whatever other window is open.
    std::function<void()> endProcess = {};
};

class WebMainFrm final : public Form {
public:
    // The items of appmenu, in menu order.
    enum Command : UINT {
        kRefresh = 1,
        kHideRestore,
        kClearCache,
        kUpdate,
        kVersion,
        kExit,
    };

    explicit WebMainFrm(MainContext context);
    ~WebMainFrm() override;

    // Opens or selects the address's tab, loading the window on first use.
    void SetURL(const std::wstring& strURL);

    // True once closing has been confirmed: the close then goes on without asking.
    bool m_bExit = false;

    uTab& WebuTab() { return WebuTab_; }
    iButton& web_minmax() { return web_minmax_; }
    HMENU appmenu() const { return appmenu_.get(); }
    bool PlaceholderVisible() const { return IsWindowVisible(Picture1_.hwnd()) != FALSE; }
    HWND PageContainer() const { return pCnt_.hwnd(); }

protected:
    void OnLoad() override;
    void OnResize() override;
    void OnQueryUnload(bool& cancel) override;
    void OnUnload() override;
    void OnPaint(HDC dc) override { surface_.Paint(dc); }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls();
    void ConnectEvents();
    void LoadIcons();
    void CentreOnScreen();
    void OpenTab(const std::wstring& address);
    bool AcceptDdeCommand(const std::wstring& command);
    // Opens the address from the window's own loop if it is a game address;
    // source names the asker in the log of a refusal.
    bool QueueAddress(const std::wstring& text, const wchar_t* source);
    void OpenPendingAddresses();
    void ShowAppMenu();
    void Carry(UINT command);
    void MaxRestore();
    void RequestClose();
    void Layout();
    void FitPlaceholderBrowser();

    MainContext context_;
    Surface surface_;
    // Among siblings the first made lies on top: the buttons, the logo and the
    // strip over the caption band, the placeholder over the page container.
    iButton web_close_;
    iButton web_minmax_;
    iButton web_min_;
    iButton web_tool_;
    iButton OtherUserBtn_;
    iButton GameSpaceBtn_;
    PictureBox PicLogo_;
    uTab WebuTab_;
    BForm WebBForm_;
    PictureBox Picture1_;
    PictureBox pCnt_;
    std::unique_ptr<Browser> WebBrowser1_;
    ToolTip stripTip_;
    UniqueMenu appmenu_;
    UniqueIcon smallIcon_;
    UniqueIcon bigIcon_;
    std::unique_ptr<QelNotifyIcon> tray_;
    std::unique_ptr<cSetStyle> objStyle_;
    std::unique_ptr<DdeServer> dde_;
    std::vector<std::wstring> pendingAddresses_; // accepted, waiting to be opened
    bool asking_ = false;                        // the exit dialog is up
    bool exitForEndSession_ = false;             // m_bExit set by a log-off's question
    bool endForUpdate_ = false;                  // the process ends once the window has gone
};

} // namespace tessaly::win
