#include "app/LoginFrm_win.h"

#include "app/PublicData_win.h"
#include "app/Texts.h"
#include "resources/ResourceIds.h"

namespace tessaly::win {
namespace {

enum Request : UINT {
    kClosePair = WM_APP + 1,
    kMinimizePair,
    kShowPair,
    kHandOver,
    kNoConnection, // the message, then the pair closes
    kEnd,          // the message, then the process ends
};

constexpr UINT_PTR kWaitTimer = 1;

FormDesign ContentDesign() {
    FormDesign design;
    design.className = L"TessalyLoginFrm";
    design.caption = std::wstring(texts::kGameTitle) + texts::kClientSuffix;
    design.clientWidthTwips = 18555;
    design.clientHeightTwips = 10440;
    design.style = WS_POPUP | WS_CLIPCHILDREN;
    design.background = LoginFrm::kSeeThrough;
    design.centred = false; // it sits wherever the background is
    return design;
}

} // namespace

LoginFrm::LoginFrm(LoginContext context)
    : Form(ContentDesign())
    , context_(std::move(context))
    , background_([this] { Close(); }) {
    miniBtn_.Click.Connect([this] { MinimizePair(); });
    closebtn_.Click.Connect([this] { ClosePair(); });
}

LoginFrm::~LoginFrm() {
    flow_.reset();
    browser_.reset();
    Destroy();
}

void LoginFrm::LoadIcons() {
    // The file is for others to find (a failed write is logged and changes
    // nothing here): the icons come from the bytes it is written from.
    static_cast<void>(SaveResToFile(IDR_ICON_FILE, L"ICON", IconFilePath()));
    // The old icons stay valid until the window has taken the new ones.
    UniqueIcon small = LoadProgramIcon(16), big = LoadProgramIcon(32);
    background_.SetContentWindow(hwnd());
    background_.Load();
    SendMessageW(background_.hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    SendMessageW(background_.hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    smallIcon_ = std::move(small);
    bigIcon_ = std::move(big);
}

void LoginFrm::OnLoad() {
    LoadIcons();

    picture1_.CreatePixels(hwnd(), 415, 179, 732, 425);
    miniBtn_.CreatePixels(hwnd(), 1120, 130, 28, 28);
    miniBtn_.SetPicture(LoadBitmapResource(IDB_LOGIN_MIN));
    closebtn_.CreatePixels(hwnd(), 1152, 125, 34, 34);
    closebtn_.SetPicture(LoadBitmapResource(IDB_LOGIN_CLOSE));

    browser_ = context_.createBrowser(picture1_.hwnd());
    browser_->SuppressContextMenu();
    // Larger than its container, which cuts off its border and scroll bars.
    browser_->Place(-1, -1, 751, 444);
    flow_ = std::make_unique<LoginFlow>(*browser_, static_cast<LoginWindows&>(*this));
    // A page that never completes must not leave the splash up forever: the
    // wait allows a few network time-outs for the page and what it loads.
    SetTimer(hwnd(), kWaitTimer, static_cast<UINT>(context_.config.timeoutSeconds) * 3000, nullptr);
    browser_->Navigate(context_.config.loginPage);

    SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd(), kSeeThrough, 0, LWA_COLORKEY);
    // Owned by the background: above it, no taskbar button of its own, and
    // hidden with it when it is minimised.
    SetWindowLongPtrW(hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(background_.hwnd()));
}

void LoginFrm::OnUnload() {
    KillTimer(hwnd(), kWaitTimer);
    flow_.reset();
    browser_.reset();
    // The pair goes together, whichever of the two closes first.
    background_.Close();
    // The splash stands for the wait for the page; a page that leaves before
    // it has completed (exit, hand-over) must not leave it on the screen.
    if (context_.closeSplash) context_.closeSplash();
}

void LoginFrm::OnTimer(UINT_PTR id) {
    if (id != kWaitTimer) return;
    KillTimer(hwnd(), kWaitTimer);
    if (flow_) flow_->WaitExpired();
}

void LoginFrm::ClosePair() {
    Post(kClosePair);
}
void LoginFrm::MinimizePair() {
    Post(kMinimizePair);
}
void LoginFrm::ShowPair() {
    Post(kShowPair);
}
void LoginFrm::SayNoConnection(bool endProcess) {
    Post(endProcess ? kEnd : kNoConnection);
}

void LoginFrm::ShowAgain() {
    if (IsLoaded()) {
        const HWND back = background_.hwnd();
        if (IsIconic(back)) ShowWindow(back, SW_RESTORE);
        SetForegroundWindow(back);
        return;
    }
    Load();
    if (!IsLoaded()) return;
    // Where the background will show: moving it takes the content along.
    background_.Centre();
    Show();
    SetForegroundWindow(hwnd());
}
void LoginFrm::HandOver(const std::wstring& address) {
    handOverAddress_ = address;
    Post(kHandOver);
}

void LoginFrm::Post(UINT request) {
    if (hwnd()) PostMessageW(hwnd(), request, 0, 0);
}

void LoginFrm::Carry(UINT request) {
    switch (request) {
    case kClosePair:
        background_.Close();
        break;
    case kMinimizePair:
        ShowWindow(background_.hwnd(), SW_MINIMIZE);
        break;
    case kShowPair: {
        KillTimer(hwnd(), kWaitTimer);
        background_.Show();
        RECT rect{};
        GetWindowRect(background_.hwnd(), &rect);
        SetWindowPos(hwnd(), nullptr, rect.left, rect.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Show();
        if (context_.closeSplash) context_.closeSplash();
        break;
    }
    case kHandOver: {
        const std::wstring address = std::move(handOverAddress_);
        background_.Close();
        if (context_.setUrl) context_.setUrl(address);
        break;
    }
    case kNoConnection:
    case kEnd:
        context_.platform.ShowMessage(
            {texts::kNoConnection, texts::kNotice, MessageIcon::Exclamation, MessageButtons::Ok});
        if (request == kNoConnection)
            background_.Close();
        else if (context_.endProcess)
            context_.endProcess();
        break;
    default:
        break;
    }
}

LRESULT LoginFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= kClosePair && message <= kEnd) {
        Carry(message);
        return 0;
    }
    return Form::HandleMessage(message, wParam, lParam);
}

} // namespace tessaly::win
