#include "app/WebUrl_win.h"

#include "base/Units.h"
#include "tabs/CTabItem.h"
#include "tabstrip/TabWindowCalls_win.h"

namespace tessaly::win {
namespace {

FormDesign PageDesign() {
    FormDesign design;
    design.className = L"TessalyWebUrl";
    design.clientWidthTwips = 9090;
    design.clientHeightTwips = 6255;
    // Never a taskbar button, not even for the moment before the strip adopts it.
    design.style = WS_CLIPCHILDREN;
    design.exStyle = WS_EX_TOOLWINDOW;
    design.background = GetSysColor(COLOR_WINDOW);
    design.centred = false;
    return design;
}

} // namespace

WebUrl::WebUrl(BrowserMaker makeBrowser)
    : Form(PageDesign())
    , makeBrowser_(std::move(makeBrowser))
    , Picture1_(GetSysColor(COLOR_WINDOW)) {
    Picture1_.Resized.Connect([this] { FitBrowser(); });
}

WebUrl::~WebUrl() {
    wb_.reset();
    Destroy();
}

void WebUrl::OnLoad() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    Picture1_.CreatePixels(hwnd(), 0, 0, client.right, client.bottom);
    wb_ = makeBrowser_(Picture1_.hwnd());
    // Every page is silent: no script-error or other boxes over the game.
    wb_->DownloadBegin.Connect([this] { wb_->SetSilent(true); });
    wb_->DocumentComplete.Connect([this](const std::wstring&) {
        wb_->SetSilent(true);
        // Done for frames too, always on the top-level document: no scroll bars.
        wb_->SetDocumentOverflowHidden();
    });
    wb_->TitleChange.Connect([this](const std::wstring& text) {
        if (item_) item_->SetCaption(text);
    });
    wb_->NewWindow3.Connect([this](const std::wstring& url) { NewWindow.Raise(url); });
    FitBrowser();
    wb_->Navigate(L"about:blank");
}

void WebUrl::OnResize() {
    if (!Picture1_.IsCreated()) return;
    RECT client{};
    GetClientRect(hwnd(), &client);
    MoveWindow(Picture1_.hwnd(), 0, 0, client.right, client.bottom, TRUE);
}

void WebUrl::FitBrowser() {
    if (!wb_) return;
    RECT client{};
    GetClientRect(Picture1_.hwnd(), &client);
    // Two pixels larger on every side: the panel clips the browser's border away.
    wb_->Place(-2, -2, client.right + 4, client.bottom + 4);
}

void WebUrl::OnUnload() {
    wb_.reset();
}

void WebUrl::OpenURL(const std::wstring& szURL) {
    Load();
    if (wb_) wb_->Navigate(szURL);
}

WindowHandle WebUrl::hWnd() {
    Load();
    return ToHandle(hwnd());
}

void WebUrl::Initialize(IuTab* Implement, CTabItem* Item) {
    strip_ = Implement;
    item_ = Item;
}

LRESULT WebUrl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFOCUS && wb_) {
        wb_->Focus();
        return 0;
    }
    return Form::HandleMessage(message, wParam, lParam);
}

void WebUrl::RefreshPage() {
    if (wb_) wb_->Refresh();
}

} // namespace tessaly::win
