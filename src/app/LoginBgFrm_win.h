#pragma once
// The login window's background: a layered window showing the login PNG with
// its per-pixel alpha. It owns the content window laid over it, carries the
// taskbar button and the icons, and drags the pair when pressed.

#include "app/LayeredPicture_win.h"
#include "base/Form_win.h"

#include <functional>

namespace tessaly::win {

class LoginBgFrm : public Form {
public:
    // closeContent closes the content window when the background closes.
    explicit LoginBgFrm(std::function<void()> closeContent);
    ~LoginBgFrm() override;

    void SetContentWindow(HWND content) { content_ = content; }
    const LayeredCanvas& canvas() const { return picture_.canvas(); }

protected:
    void OnLoad() override;
    void OnUnload() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::function<void()> closeContent_;
    HWND content_ = nullptr;
    bool wasMinimized_ = false;
    LayeredPicture picture_;
};

// The background's move-follow procedure: on every move the content window
// takes the background's left and top; every message then goes on to the
// procedure it replaced.
void HookLoginBg(HWND hWnd, HWND content);
void UnhookLoginBg(HWND hWnd);
LRESULT CALLBACK LoginBgProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

} // namespace tessaly::win
