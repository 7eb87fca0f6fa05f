#include "app/WebMainFrm_win.h"

#include "app/DdeCommand.h"
#include "app/GameTabs.h"
#include "app/HotKeyHook_win.h"
#include "app/MainLayout.h"
#include "app/OwnVersion_win.h"
#include "app/PublicData_win.h"
#include "app/Texts.h"
#include "app/UpdateCheck.h"
#include "app/UpdateCheck_win.h"
#include "base/ErrorLog.h"
#include "base/Units.h"
#include "controls/ButtonDesign.h"
#include "controls/MsgFrm_win.h"
#include "controls/PictureRef.h"
#include "resources/ResourceIds.h"
#include "shell/CacheMain_win.h"

namespace tessaly::win {
namespace {

// Addresses accepted over DDE or asked for by a page are opened from the
// window's own message loop: not inside the DDE callback, which the sender is
// waiting on, nor inside the event of the page's browser.
constexpr UINT kOpenAddresses = WM_APP + 20;

constexpr std::uint32_t kBandColour = Rgb(236, 233, 218);
constexpr std::uint32_t kCookieAndHistoryEntries = 0x300000;

FormDesign MainDesign() {
    FormDesign design;
    design.className = L"TessalyWebMainFrm";
    design.caption = std::wstring(texts::kGameTitle) + texts::kClientSuffix;
    design.clientWidthTwips = kDesignedMainWidth;
    design.clientHeightTwips = kDesignedMainHeight;
    design.style = WS_POPUP | WS_CLIPCHILDREN;
    design.background = ToColorRef(kBandColour);
    design.centred = false; // centred in twips at load
    return design;
}

PropertyBag ButtonBag(const wchar_t* caption, int style, const wchar_t* backPicture) {
    ButtonDesign design;
    design.AutoSize = false; // the designed sizes, whatever the skins
    design.Style = style;
    if (caption) design.Caption = caption;
    if (backPicture) design.BackPicture = backPicture;
    PropertyBag bag;
    WriteButtonDesign(bag, design);
    return bag;
}

PropertyBag StripBag() {
    PropertyBag bag;
    bag.Write(L"TabStyle", std::int64_t{1});
    bag.Write(L"TabLeftSize", std::int64_t{10});
    bag.Write(L"TabRightSize", std::int64_t{0});
    return bag;
}

PropertyBag BandBag() {
    BFormDesign design;
    design.BackColor = kBandColour;
    design.HasLogo = true; // the caption starts after the logo
    PropertyBag bag;
    WriteBFormDesign(bag, design, [] {});
    return bag;
}

void SetArrowCursor() {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

std::wstring OwnServiceName() {
    wchar_t path[MAX_PATH]{};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(FileStem(path));
}

} // namespace

WebMainFrm::WebMainFrm(MainContext context)
    : Form(MainDesign())
    , context_(std::move(context))
    , surface_(kBandColour)
    , PicLogo_(ToColorRef(kBandColour))
    , Picture1_(GetSysColor(COLOR_WINDOW))
    , pCnt_(GetSysColor(COLOR_WINDOW)) {
    ConnectEvents();
}

WebMainFrm::~WebMainFrm() {
    // Unloading is the owner's job; a window still loaded here goes without asking.
    if (IsLoaded()) {
        m_bExit = true;
        Close();
    }
    Destroy();
}

void WebMainFrm::ConnectEvents() {
    web_tool_.Click.Connect([this] { ShowAppMenu(); });
    web_min_.Click.Connect([this] { ShowWindow(hwnd(), SW_MINIMIZE); });
    web_minmax_.Click.Connect([this] { MaxRestore(); });
    web_close_.Click.Connect([this] { RequestClose(); });
    GameSpaceBtn_.Click.Connect([this] { context_.platform.Open(context_.config.gameHome, L""); });
    OtherUserBtn_.Click.Connect([this] {
        if (context_.showLogin) context_.showLogin();
    });

    WebuTab_.TabChanged.Connect([this] { Picture1_.SetVisible(false); });
    WebuTab_.OnMouseDown.Connect(
        [this](std::int32_t ItemIndex, std::int16_t&, std::int16_t&, float&, float&) {
            SetArrowCursor();
            // Pressing the strip beside the tabs moves the window, as a caption
            // would, unless the window fills the work area.
            if (!web_minmax_.Value() && ItemIndex < 0) {
                ReleaseCapture();
                SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
            }
        });
    WebuTab_.OnMouseHover.Connect(
        [this](std::int32_t ItemIndex, std::int16_t&, std::int16_t&, float&, float&) {
            CTabItem* item = WebuTab_.TabItems().ItemAt(ItemIndex);
            stripTip_.SetText(item ? item->Caption() : std::wstring());
        });
    WebuTab_.OnMouseMove.Connect(
        [](std::int32_t, std::int16_t&, std::int16_t&, float&, float&) { SetArrowCursor(); });
    WebuTab_.OnItemColose.Connect([this](std::int32_t, bool& Cancel) {
        // The last tab is never closed by its glyph: that asks to close the window.
        if (WebuTab_.TabItems().Count() <= 1) {
            RequestClose();
            Cancel = true;
        }
    });
    WebBForm_.MouseMove.Connect([](int&, int&, float&, float&) { SetArrowCursor(); });
    pCnt_.MouseDown.Connect([](int&, int&, float&, float&) { SetArrowCursor(); });
    PicLogo_.MouseDown.Connect([](int&, int&, float&, float&) { SetArrowCursor(); });
    Picture1_.Resized.Connect([this] { FitPlaceholderBrowser(); });
}

void WebMainFrm::CreateControls() {
    const HWND self = hwnd();
    web_close_.Create(self, 0, 15, 645, 270);
    web_close_.ReadProperties(ButtonBag(nullptr, 0, nullptr));
    web_minmax_.Create(self, 0, 15, 375, 270);
    web_minmax_.ReadProperties(ButtonBag(nullptr, 1, nullptr));
    web_min_.Create(self, 0, 15, 360, 270);
    web_min_.ReadProperties(ButtonBag(nullptr, 0, nullptr));
    web_tool_.Create(self, 0, 15, 360, 270);
    web_tool_.ReadProperties(ButtonBag(nullptr, 0, nullptr));

    const std::wstring linkPicture =
        PictureRef{PictureRef::Kind::Bitmap, IDB_LINK_BUTTON_BG}.ToText();
    OtherUserBtn_.Create(self, 0, 0, 1485, 330);
    OtherUserBtn_.ReadProperties(ButtonBag(texts::kOtherAccount, 0, linkPicture.c_str()));
    GameSpaceBtn_.Create(self, 0, 0, 1215, 330);
    GameSpaceBtn_.ReadProperties(ButtonBag(texts::kGameSite, 0, linkPicture.c_str()));

    PicLogo_.Create(self, 100, 30, 440, 440);
    WebuTab_.Create(self, kStripLeft, kStripTop, 8640, 480);
    WebuTab_.ReadProperties(StripBag());
    WebBForm_.Create(self, 0, 0, kDesignedMainWidth, 500);
    WebBForm_.ReadProperties(BandBag());

    Picture1_.Create(self, 60, 480, 15420, 9045);
    pCnt_.Create(self, 60, 480, 15420, 9045);
    WebBrowser1_ = context_.createBrowser(Picture1_.hwnd());
    FitPlaceholderBrowser();
    WebBrowser1_->Navigate(L"about:blank");

    stripTip_.Attach(WebuTab_.hwnd());

    appmenu_.reset(CreatePopupMenu());
    const HMENU menu = appmenu_.get();
    AppendMenuW(menu, MF_STRING, kRefresh, texts::kMenuRefresh);
    AppendMenuW(menu, MF_STRING, kHideRestore, texts::kMenuHideRestore);
    AppendMenuW(menu, MF_STRING, kClearCache, texts::kMenuClearCache);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kUpdate, texts::kMenuUpdate);
    AppendMenuW(menu, MF_STRING, kVersion, texts::kMenuVersion);
    AppendMenuW(menu, MF_STRING, kExit, texts::kMenuExit);
}

void WebMainFrm::LoadIcons() {
    smallIcon_ = LoadProgramIcon(16);
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    tray_ = std::make_unique<QelNotifyIcon>();
    tray_->AddNotifyIcon(hwnd(), smallIcon_.get(),
                         std::wstring(texts::kGameTitle) + texts::kClientSuffix);
    bigIcon_ = LoadProgramIcon(32);
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
}

void WebMainFrm::CentreOnScreen() {
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    const int width = PixelsToTwips(outer.right - outer.left);
    const int height = PixelsToTwips(outer.bottom - outer.top);
    const int left = (PixelsToTwips(GetSystemMetrics(SM_CXSCREEN)) - width) / 2;
    const int top = (PixelsToTwips(GetSystemMetrics(SM_CYSCREEN)) - height) / 2;
    SetWindowPos(hwnd(), nullptr, TwipsToPixels(left), TwipsToPixels(top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WebMainFrm::OnLoad() {
    // A window loaded again after a confirmed close (the player logged in
    // with another account meanwhile) asks again.
    m_bExit = false;
    surface_.Attach(hwnd());
    CreateControls();

    LoadIcons();
    HookMainWindow(hwnd(), {[this] { ShowAppMenu(); },
                            [this] {
                                if (tray_) tray_->OnTaskbarCreated();
                            }});
    const std::wstring version = std::wstring(texts::kMenuVersion) + VersionText(OwnVersion());
    ModifyMenuW(appmenu_.get(), kVersion, MF_BYCOMMAND | MF_STRING, kVersion, version.c_str());
    WebBForm_.SetCaption(texts::kGameTitle);
    SetCaption(std::wstring(texts::kGameTitle) + texts::kClientSuffix);

    objStyle_ = std::make_unique<cSetStyle>();
    objStyle_->CloseClick.Connect([this] { RequestClose(); });
    objStyle_->set_objForm(hwnd());
    objStyle_->SetWindowStyle(hwnd());
    WebBForm_.SetfrmHwnd(hwnd());
    CentreOnScreen();

    web_close_.SetBackPicture(Picture::LoadBitmapResource(IDB_CAPTION_CLOSE));
    web_minmax_.SetBackPicture(Picture::LoadBitmapResource(IDB_CAPTION_MAXRESTORE));
    web_min_.SetBackPicture(Picture::LoadBitmapResource(IDB_CAPTION_MIN));
    web_tool_.SetBackPicture(Picture::LoadBitmapResource(IDB_CAPTION_TOOL));
    web_minmax_.SetValue(true);

    WebuTab_.SethContainerWnd(pCnt_.hwnd());
    WebuTab_.LockReDraw(false);
    PicLogo_.SetPicture(LoadBitmapResource(IDB_LOGO));
    Layout();
    MaxRestore();

    dde_ = std::make_unique<DdeServer>(
        OwnServiceName(), kDdeTopic,
        [this](const std::wstring& command) { return AcceptDdeCommand(command); });
}

void WebMainFrm::SetURL(const std::wstring& strURL) {
    Load();
    if (IsLoaded()) OpenTab(strURL);
}

void WebMainFrm::OpenTab(const std::wstring& address) {
    OpenGameTab(WebuTab_.TabItems(), address, [&] {
        auto page = std::make_unique<WebUrl>(context_.createBrowser);
        // window.open and target=_blank: a tab of this window, which has the
        // game's session, rather than a window outside the client.
        page->NewWindow.Connect(
            [this](const std::wstring& url) { QueueAddress(url, L"a page's new window"); });
        page->OpenURL(address);
        return page;
    });
    Picture1_.SetVisible(false);
}

bool WebMainFrm::AcceptDdeCommand(const std::wstring& command) {
    return QueueAddress(command, L"DDE link");
}

bool WebMainFrm::QueueAddress(const std::wstring& text, const wchar_t* source) {
    const std::optional<std::wstring> address = GameAddressFromDde(text);
    if (!address) {
        LogError(std::wstring(source) + L": refused what is not a game address (" +
                 std::to_wstring(text.size()) + L" characters)");
        return false;
    }
    pendingAddresses_.push_back(*address);
    PostMessageW(hwnd(), kOpenAddresses, 0, 0);
    return true;
}

void WebMainFrm::OpenPendingAddresses() {
    // A minimised window comes back; a hidden one stays hidden.
    if (IsWindowVisible(hwnd())) {
        if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
        SetForegroundWindow(hwnd());
    }
    for (const std::wstring& address : std::exchange(pendingAddresses_, {}))
        OpenTab(address);
}

void WebMainFrm::ShowAppMenu() {
    POINT at{};
    GetCursorPos(&at);
    // Without the foreground the menu would not close when the player clicks
    // elsewhere (opened from the tray icon).
    SetForegroundWindow(hwnd());
    // The chosen item arrives as a posted WM_COMMAND once the menu has closed,
    // so a command that closes the window never runs inside the menu's caller.
    TrackPopupMenu(appmenu_.get(), TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
    PostMessageW(hwnd(), WM_NULL, 0, 0);
}

void WebMainFrm::Carry(UINT command) {
    switch (command) {
    case kRefresh:
        if (IsWindowVisible(Picture1_.hwnd())) {
            WebBrowser1_->Refresh();
        } else {
            WebuTab_.RefreshPage();
        }
        break;
    case kHideRestore:
        ToggleVisible(hwnd());
        break;
    case kClearCache:
        AttemptLogged(L"clearing the cache",
                      [] { ClearUrlCache(L"*.*", kCookieAndHistoryEntries); });
        context_.platform.ShowMessage({texts::kCacheCleared, texts::kCacheClearing,
                                       MessageIcon::Information, MessageButtons::Ok});
        break;
    case kUpdate:
        if (CheckForUpdateFromMenu(context_.platform, context_.config) ==
            UpdateCheck::MenuOutcome::CloseForUpdate) {
            // The updater waits for this process to end before it replaces
            // its files: a login pair still open must not keep it alive.
            endForUpdate_ = true;
            m_bExit = true;
            RequestClose();
        }
        break;
    case kExit:
        RequestClose();
        break;
    default:
        break;
    }
}

void WebMainFrm::MaxRestore() {
    const bool fills = objStyle_->CallWindowStateChange();
    WebBForm_.SetfrmHwnd(fills ? nullptr : hwnd());
}

void WebMainFrm::RequestClose() {
    PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void WebMainFrm::OnResize() {
    if (!WebBForm_.IsCreated() || IsIconic(hwnd())) return;
    surface_.Resize();
    Layout();
}

void WebMainFrm::Layout() {
    RECT outer{}, client{};
    GetWindowRect(hwnd(), &outer);
    GetClientRect(hwnd(), &client);
    const int stripHeight = WebuTab_.Height();
    const MainLayout at =
        LayoutMainWindow(PixelsToTwips(outer.right - outer.left), PixelsToTwips(client.right),
                         PixelsToTwips(client.bottom), stripHeight);
    // Every step runs, whatever became of the one before.
    AttemptLogged(L"main window layout", [&] {
        WebBForm_.Move(0, 0, at.captionWidth, WebBForm_.Height());
        WebBForm_.Printform(surface_);
    });
    AttemptLogged(L"main window layout", [&] {
        RectRgn(hwnd(), static_cast<short>(at.regionRight), static_cast<short>(at.regionBottom),
                kRegionEllipse, kRegionEllipse);
    });
    AttemptLogged(L"main window layout", [&] {
        web_close_.Move(at.closeLeft, web_close_.Top(), web_close_.Width(), web_close_.Height());
        web_minmax_.Move(at.minMaxLeft, web_minmax_.Top(), web_minmax_.Width(),
                         web_minmax_.Height());
        web_min_.Move(at.minLeft, web_min_.Top(), web_min_.Width(), web_min_.Height());
        web_tool_.Move(at.toolLeft, web_tool_.Top(), web_tool_.Width(), web_tool_.Height());
    });
    AttemptLogged(L"main window layout", [&] {
        // uTab's own Move is its mouse handler.
        static_cast<Control&>(WebuTab_).Move(at.strip.x, at.strip.y, at.strip.width, stripHeight);
    });
    AttemptLogged(L"main window layout", [&] {
        GameSpaceBtn_.Move(at.gameSpaceLeft, GameSpaceBtn_.Top(), GameSpaceBtn_.Width(),
                           GameSpaceBtn_.Height());
        OtherUserBtn_.Move(at.otherUserLeft, OtherUserBtn_.Top(), OtherUserBtn_.Width(),
                           OtherUserBtn_.Height());
    });
    AttemptLogged(L"main window layout", [&] {
        Picture1_.Move(at.body.x, at.body.y, at.body.width, at.body.height);
        pCnt_.Move(at.body.x, at.body.y, at.body.width, at.body.height);
    });
}

void WebMainFrm::FitPlaceholderBrowser() {
    if (!WebBrowser1_) return;
    RECT client{};
    GetClientRect(Picture1_.hwnd(), &client);
    const TwipsRect box =
        PlaceholderBrowserBox(PixelsToTwips(client.right), PixelsToTwips(client.bottom));
    WebBrowser1_->Place(TwipsToPixels(box.x), TwipsToPixels(box.y), TwipsToPixels(box.width),
                        TwipsToPixels(box.height));
}

void WebMainFrm::OnQueryUnload(bool& cancel) {
    if (m_bExit) return;
    // A second close request while the dialog is up is the same request.
    if (asking_) {
        cancel = true;
        return;
    }
    asking_ = true;
    {
        MsgFrm dialog(m_bExit, {std::wstring(texts::kGameTitle) + texts::kClientSuffix,
                                texts::kExitQuestion, texts::kExitYes, texts::kExitNo});
        dialog.ShowModal(hwnd());
    }
    asking_ = false;
    cancel = !m_bExit;
}

void WebMainFrm::OnUnload() {
    UnhookMainWindow(hwnd());
    dde_.reset();
    pendingAddresses_.clear();
    WebuTab_.TabItems().Clear();
    objStyle_.reset();
    tray_.reset();
    WebBrowser1_.reset();
    if (endForUpdate_ && context_.endProcess) context_.endProcess();
}

LRESULT WebMainFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kOpenAddresses:
        OpenPendingAddresses();
        return 0;
    case WM_SETFOCUS:
        // Activation gives the focus to this window: it belongs to the page.
        WebuTab_.FocusSelectedPage();
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && lParam == 0) Carry(LOWORD(wParam));
        return 0;
    case WM_ERASEBKGND:
        // The surface paints every pixel; an erase first would flicker.
        return 1;
    case WM_QUERYENDSESSION: {
        // Logging off asks as any other close does.
        const bool confirmedBefore = m_bExit;
        bool cancel = false;
        OnQueryUnload(cancel);
        exitForEndSession_ = m_bExit && !confirmedBefore;
        return cancel ? FALSE : TRUE;
    }
    case WM_ENDSESSION:
        if (wParam) {
            m_bExit = true;
            Close();
        } else if (std::exchange(exitForEndSession_, false)) {
            // Another program cancelled the log-off the player agreed to:
            // the window stays, and its next close asks again.
            m_bExit = false;
        }
        return 0;
    default:
        return Form::HandleMessage(message, wParam, lParam);
    }
}

} // namespace tessaly::win
