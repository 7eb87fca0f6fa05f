#pragma once
// The page of one main-window tab: a window holding one browser that fills it.
// The tab strip adopts it as a child of its page container. The page's title
// becomes its tab's caption; the page shows no scroll bars, no browser border
// and no script-error boxes. The focus given to the window goes on to the page.

#include "app/Browser.h"
#include "base/Form_win.h"
#include "base/PictureBox_win.h"
#include "tabs/ITabForm.h"

#include <functional>
#include <memory>
#include <string>

namespace tessaly::win {

using BrowserMaker = std::function<std::unique_ptr<Browser>(HWND container)>;

class WebUrl final : public Form, public ITabForm {
public:
    explicit WebUrl(BrowserMaker makeBrowser);
    ~WebUrl() override;

    // Loads the window first if need be, so "about:blank" comes before the address.
    void OpenURL(const std::wstring& szURL);
    Browser* browser() { return wb_.get(); }
    IuTab* strip() const { return strip_; }

    // The page asked for a window of its own; the address is the page's word.
    Event<const std::wstring& /*url*/> NewWindow;

    // ITabForm.
    WindowHandle hWnd() override;
    void Initialize(IuTab* Implement, CTabItem* Item) override;
    void RefreshPage() override;
    void Unload() override { Close(); }

protected:
    void OnLoad() override;
    void OnResize() override;
    void OnUnload() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FitBrowser();

    BrowserMaker makeBrowser_;
    PictureBox Picture1_;
    std::unique_ptr<Browser> wb_;
    IuTab* strip_ = nullptr;
    CTabItem* item_ = nullptr;
};

} // namespace tessaly::win
