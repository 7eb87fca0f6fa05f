#pragma once
// The login window: a content window whose background colour is see-through,
// laid exactly over the layered background window, showing the game site's
// login page and two picture buttons. The page drives the client through
// "app://" addresses (LoginFlow).

#include "app/Browser.h"
#include "app/LoginBgFrm_win.h"
#include "app/LoginFlow.h"
#include "shell/Platform.h"
#include "base/Config.h"
#include "base/Form_win.h"
#include "base/PictureBox_win.h"

#include <functional>
#include <memory>
#include <string>

namespace tessaly::win {

struct LoginContext {
    Platform& platform;
    const Config& config;
    // Opens a game address in the main window (loading it on first use).
    std::function<void(const std::wstring&)> setUrl;
    std::function<void()> closeSplash;
    // Ends the process at once.
    std::function<void()> endProcess;
    // Makes the page's browser inside its container (CreateBrowser).
    std::function<std::unique_ptr<Browser>(HWND)> createBrowser;
    // True while the main window is loaded: a login page that fails then only
    // closes the pair, so it never ends a game in progress. Empty means false.
    std::function<bool()> gameSessionOpen = {};
};

class LoginFrm : public Form, private LoginWindows {
public:
    // The colour that the content window shows as holes onto the background.
    static constexpr COLORREF kSeeThrough = RGB(254, 254, 254);

    explicit LoginFrm(LoginContext context);
    ~LoginFrm() override;

    // The main window's way back to the login: a closed pair loads again and
    // its page shows at once, the background joining it once the page has
    // loaded; an open pair is restored and brought to the front.
    void ShowAgain();

    LoginBgFrm& background() { return background_; }
    Browser* browser() { return browser_.get(); }
    PictureBox& miniButton() { return miniBtn_; }
    PictureBox& closeButton() { return closebtn_; }

protected:
    void OnLoad() override;
    void OnUnload() override;
    void OnTimer(UINT_PTR id) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Requests from the page arrive inside the browser's own events; they are
    // posted and carried out once the event has returned, because closing the
    // pair destroys that browser.
    void ClosePair() override;
    void MinimizePair() override;
    void ShowPair() override;
    void HandOver(const std::wstring& address) override;
    void SayNoConnection(bool endProcess) override;
    bool GameSessionOpen() const override {
        return context_.gameSessionOpen && context_.gameSessionOpen();
    }
    void Post(UINT request);
    void Carry(UINT request);
    void LoadIcons();

    LoginContext context_;
    LoginBgFrm background_;
    PictureBox picture1_{kSeeThrough};
    PictureBox miniBtn_{kSeeThrough};
    PictureBox closebtn_{kSeeThrough};
    std::unique_ptr<Browser> browser_;
    std::unique_ptr<LoginFlow> flow_;
    UniqueIcon smallIcon_;
    UniqueIcon bigIcon_;
    std::wstring handOverAddress_;
};

} // namespace tessaly::win
