#include "tabstrip/uTab_win.h"

#include "base/Error.h"
#include "base/Units.h"
#include "resources/ResourceIds.h"
#include "tabs/ITabForm.h"
#include "tabs/TabErrors.h"

#include <windowsx.h>

namespace tessaly::win {
namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kCaptionColour = RGB(0, 0, 0);
constexpr COLORREF kSelectedCaptionColour = RGB(4, 96, 163);
constexpr std::int16_t kLeftButton = 1;

UniqueMemoryDC LoadSkin(int id) {
    UniqueBitmap image(static_cast<HBITMAP>(LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(id),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return CreateBitmapDC(std::move(image));
}

UniqueFont GuiFont(LONG weight) {
    LOGFONTW font{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfWeight = weight;
    return UniqueFont(CreateFontIndirectW(&font));
}

// Runs one step of a sequence whose steps must each run even when an earlier
// one failed (the resize); the failure itself has no one to go to.
template <class Step> void Attempt(Step step) {
    try {
        step();
    } catch (...) {
    }
}

} // namespace

uTab::uTab()
    : tessaly::win::Control(L"Kestrel.uTab") {
    skin0_ = LoadSkin(IDB_TABS_STYLE0);
    skin1_ = LoadSkin(IDB_TABS_STYLE1);
    items_ = std::make_unique<CTabItems>(windowCalls_);
    items_->SetOwner(this);
    subclass_.WindowProc.Connect([this](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND hwnd,
                                        UINT uMsg, WPARAM wParam, LPARAM lParam,
                                        LPARAM& lParamUser) {
        c_Subclass_WindowProc(bBefore, bHandled, lReturn, hwnd, uMsg, wParam, lParam, lParamUser);
    });
    normalFont_ = GuiFont(100);
    selectedFont_ = GuiFont(700);
}

uTab::~uTab() {
    // The window goes while the whole object still answers its last messages.
    Destroy();
    // Released by a handler of one of its events while the collection is
    // still inside a call of its own (Remove asks BeforeRemove): the
    // collection stays, cut off from the strip, until that call has returned.
    if (lifetime().Watched()) {
        items_->SetOwner(nullptr);
        for (std::int32_t i = 0; i < items_->Count(); ++i)
            items_->ItemAt(i)->SetOwner(nullptr);
        lifetime().KeepUntilUnwound(std::shared_ptr<CTabItems>(std::move(items_)));
    }
}

void uTab::ReadProperties(const PropertyBag& bag) {
    style_ = static_cast<std::int32_t>(bag.ReadInt(L"TabStyle", style_));
    leftSize_ = static_cast<std::int32_t>(bag.ReadInt(L"TabLeftSize", leftSize_));
    rightSize_ = static_cast<std::int32_t>(bag.ReadInt(L"TabRightSize", rightSize_));
    if (!IsCreated() || ownWindowSubclassed_) return;
    ownWindowSubclassed_ = subclass_.ssc_Subclass(hwnd(), 0, 1);
    subclass_.ssc_AddMsg(hwnd(), ALL_MESSAGES, CSubclass::MSG_BEFORE);
    // The window was sized when it was created, before its style was known.
    Resize();
}

void uTab::WriteProperties(PropertyBag& bag) const {
    bag.Write(L"TabStyle", std::int64_t{style_});
    bag.Write(L"TabLeftSize", std::int64_t{leftSize_});
    bag.Write(L"TabRightSize", std::int64_t{rightSize_});
}

void uTab::SethContainerWnd(HWND value) {
    container_ = value;
    subclass_.ssc_Subclass(value, 0, 1);
    subclass_.ssc_AddMsg(value, WM_SIZE, CSubclass::MSG_AFTER);
}

void uTab::LockReDraw(bool bLock) {
    redrawEnabled_ = !bLock;
    if (bLock) return;
    ComputeTabWidth();
    Layout();
    refresh();
}

void uTab::refresh() {
    PaintBackground();
    PaintTabs(true);
}

void uTab::RefreshPage() {
    CTabItem* item = items_->Item(selected_);
    if (!item || !item->Form()) throw Error(error::kObjectNotSet, "no tab page is selected");
    item->Form()->RefreshPage();
}

WindowHandle uTab::hParent() const {
    return IsCreated() ? ToHandle(GetAncestor(hwnd(), GA_ROOT)) : 0;
}

// ---------------------------------------------------------------- IuTab

void uTab::Add(const std::wstring&, ITabForm* Form, const std::optional<std::wstring>&,
               const std::optional<TabLocator>&) {
    if (!Form) throw Error(error::kObjectNotSet, "a tab needs a page");
    AttachPage(ToHwnd(Form->hWnd()));
    selected_ = SelectionAfterAdd(selected_, items_->Count());
    ComputeTabWidth();
    Layout();
    PaintTabs(true);
}

bool uTab::BeforeRemove(std::int32_t Index) {
    const Lifetime::Watch alive(lifetime());
    bool Cancel = false;
    // A strip released by the handler keeps its tabs: there is nothing left
    // to remove them from.
    if (!OnItemColose.Raise(Index, Cancel)) return false;
    return !Cancel;
}

void uTab::Remove(std::int32_t Index) {
    ComputeTabWidth();
    Layout();
    selected_ = SelectionAfterRemove(selected_, Index);
    ShowSelectedPage();
    FocusSelectedPage(); // the closed page may have held it
    PaintTabs(true);
}

void uTab::Clear() {
    ComputeTabWidth();
    selected_ = 0;
    PaintTabs(true);
}

void uTab::Redraw(bool /*bUpdate*/) {
    refresh();
}

void uTab::ChangeForm(CTabItem& /*Item*/, ITabForm* Form) {
    // A page that cannot be adopted stays where it is; the caller goes on.
    if (!Form) return;
    Attempt([&] {
        AttachPage(ToHwnd(Form->hWnd()));
        ShowSelectedPage();
    });
}

void uTab::SetSelected(std::int32_t value) {
    if (value < 0) {
        selected_ = kNoTab;
    } else {
        if (value > items_->Count() - 1) return;
        selected_ = value;
        ShowSelectedPage();
        FocusSelectedPage();
    }
    refresh();
}

// ---------------------------------------------------------------- pages

void uTab::AttachPage(HWND page) {
    RECT client{};
    GetClientRect(container_, &client);
    // A child before it has a parent, as SetParent asks.
    SetWindowStyleBits(page, GWL_STYLE, WS_POPUP | WS_CAPTION | WS_THICKFRAME, WS_CHILD,
                       SWP_FRAMECHANGED);
    SetParent(page, container_);
    SetWindowPos(page, nullptr, 0, 0, client.right, client.bottom,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
}

void uTab::ShowSelectedPage() {
    if (selected_ < 0 || selected_ >= items_->Count() || !container_) return;
    ITabForm* page = items_->ItemAt(selected_)->Form();
    if (!page) throw Error(error::kObjectNotSet, "the selected tab has no page");
    RECT client{};
    GetClientRect(container_, &client);
    // Only raised over the other pages, which stay as they are underneath.
    SetWindowPos(ToHwnd(page->hWnd()), HWND_TOP, 0, 0, client.right, client.bottom,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void uTab::FocusSelectedPage() {
    if (selected_ < 0 || selected_ >= items_->Count() || !IsCreated()) return;
    ITabForm* form = items_->ItemAt(selected_)->Form();
    if (!form) return;
    const HWND page = ToHwnd(form->hWnd());
    const HWND focus = GetFocus();
    // Not while the window is hidden or behind another: SetFocus would activate it.
    if (GetActiveWindow() != GetAncestor(hwnd(), GA_ROOT) || focus == page || IsChild(page, focus))
        return;
    SetFocus(page);
}

// ---------------------------------------------------------------- messages

void uTab::c_Subclass_WindowProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd,
                                 UINT uMsg, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                 LPARAM& /*lParamUser*/) {
    if (lng_hWnd == container_ && !bBefore) {
        if (uMsg == WM_SIZE) ShowSelectedPage();
        return;
    }
    if (lng_hWnd != hwnd()) return;
    switch (uMsg) {
    case WM_ERASEBKGND:
        bHandled = true;
        lReturn = 0;
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(lng_hWnd, &ps);
        BitBlt(dc, 0, 0, bufferWidth_, StripHeight(), composite_.get(), 0, 0, SRCCOPY);
        EndPaint(lng_hWnd, &ps);
        bHandled = true;
        lReturn = 0;
        break;
    }
    case WM_MOUSELEAVE:
        Leave();
        break;
    default:
        break;
    }
}

LRESULT uTab::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto x = static_cast<float>(GET_X_LPARAM(lParam));
    const auto y = static_cast<float>(GET_Y_LPARAM(lParam));
    // Read only for mouse messages: every message of the strip passes here.
    const auto shift = [&] { return static_cast<std::int16_t>(MouseShiftState(wParam)); };
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // Held so that the release is seen wherever it happens.
        SetCapture(hwnd());
        Press(static_cast<std::int16_t>(ButtonOf(message)), shift(), x, y);
        return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        SetCapture(hwnd());
        DoubleClick();
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (ButtonsHeld(wParam) == 0 && GetCapture() == hwnd()) ReleaseCapture();
        Release(static_cast<std::int16_t>(ButtonOf(message)), shift(), x, y);
        return 0;
    case WM_MOUSEMOVE:
        Move(static_cast<std::int16_t>(ButtonsHeld(wParam)), shift(), x, y);
        return 0;
    default:
        return tessaly::win::Control::HandleMessage(message, wParam, lParam);
    }
}

// ---------------------------------------------------------------- mouse

TabHit uTab::HitAt(float x, float y) const {
    const TabStripFrame frame{style_, ClientWidth(), leftSize_, rightSize_};
    return HitTestTabs(frame, *items_, static_cast<int>(RoundHalfEven(x)),
                       static_cast<int>(RoundHalfEven(y)));
}

// Every event below may be answered by releasing the strip (the last tab's
// close glyph closes the main window): once an event says so, the handling
// stops without touching the strip.
bool uTab::Press(std::int16_t button, std::int16_t shift, float x, float y, bool replayed) {
    lastDown_ = {button, shift, x, y};
    std::int32_t index = 0;
    if (button == kLeftButton) {
        const TabHit hit = HitAt(x, y);
        index = hit.index;
        if (hit.index >= 0 && hit.index < items_->Count()) {
            if (hit.index != selected_ && !hit.close) {
                selected_ = hit.index;
                ShowSelectedPage();
                FocusSelectedPage();
                PaintTabs(true);
            } else if (hit.close && !replayed && closeState_ != kClosePressed) {
                closeState_ = kClosePressed;
                PaintTabs(true);
            }
            if (!TabChanged.Raise()) return false;
        }
    }
    return OnMouseDown.Raise(index, button, shift, x, y);
}

void uTab::Move(std::int16_t buttons, std::int16_t shift, float x, float y) {
    std::int32_t index = 0;
    if (buttons == 0) {
        subclass_.TrackMouseTracking(hwnd());
        const TabHit hit = HitAt(x, y);
        index = hit.index;
        const int state = hit.close ? kCloseOver : kCloseNormal;
        if (hit.index != hover_ || state != closeState_) {
            if (hit.index != hover_ && !OnMouseHover.Raise(hit.index, buttons, shift, x, y)) return;
            hover_ = hit.index;
            closeState_ = state;
            PaintTabs(true);
        }
    }
    OnMouseMove.Raise(index, buttons, shift, x, y);
}

void uTab::Release(std::int16_t button, std::int16_t shift, float x, float y) {
    const Lifetime::Watch alive(lifetime());
    std::int32_t index = 0;
    if (button == kLeftButton) {
        const TabHit hit = HitAt(x, y);
        index = hit.index;
        const bool pressedGlyph = closeState_ == kClosePressed;
        closeState_ = kCloseNormal;
        // The hover index stays where the press began, so only a release on
        // the glyph that was pressed closes its tab: one press, one close.
        if (pressedGlyph && hit.index >= 0 && hit.index < items_->Count() && hit.index == hover_ &&
            hit.close && !items_->ItemAt(hit.index)->HideButton())
            items_->Remove(hit.index, true);
        if (!alive.Alive()) return;
        refresh();
    }
    OnMouseUp.Raise(index, button, shift, x, y);
}

void uTab::DoubleClick() {
    MouseDown last = lastDown_;
    const std::int32_t index = HitAt(last.x, last.y).index;
    if (!Press(last.button, last.shift, last.x, last.y, true)) return;
    OnDblClick.Raise(index, last.button, last.shift, last.x, last.y);
}

void uTab::Leave() {
    if (hover_ != kNoTab) {
        hover_ = kNoTab;
        PaintTabs(true);
    }
    OnMouseLeave.Raise();
}

// ---------------------------------------------------------------- layout and painting

int uTab::ClientWidth() const {
    RECT client{};
    if (IsCreated()) GetClientRect(hwnd(), &client);
    return client.right;
}

void uTab::OnResize() {
    Resize();
}

void uTab::Resize() {
    Attempt([&] {
        RECT window{};
        GetWindowRect(hwnd(), &window);
        if (window.bottom - window.top != StripHeight())
            SetWindowPos(hwnd(), nullptr, 0, 0, window.right - window.left, StripHeight(),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
    Attempt([&] { CreateBuffers(); });
    Attempt([&] { ComputeTabWidth(); });
    Attempt([&] { Layout(); });
    Attempt([&] { refresh(); });
}

void uTab::CreateBuffers() {
    background_.reset();
    tabArea_.reset();
    composite_.reset();
    bufferWidth_ = ClientWidth();
    bufferHeight_ = StripHeight();
    areaWidth_ = bufferWidth_ - leftSize_ - rightSize_;
    background_ = CreateMemoryDC(bufferWidth_, bufferHeight_);
    tabArea_ = CreateMemoryDC(areaWidth_, bufferHeight_);
    composite_ = CreateMemoryDC(bufferWidth_, bufferHeight_);
}

void uTab::ComputeTabWidth() {
    if (!redrawEnabled_) return;
    tabWidth_ = tessaly::ComputeTabWidth(style_, ClientWidth() - leftSize_ - rightSize_, *items_);
}

void uTab::Layout() {
    if (!redrawEnabled_) return;
    LayoutTabs(style_, tabWidth_, *items_);
}

void uTab::PaintBackground() {
    if (!redrawEnabled_) return;
    const int height = StripHeight();
    bool bSkipDefault = false;
    OnDrawBackground.Raise(background_.get(), bufferWidth_, height, bSkipDefault);
    if (!bSkipDefault)
        StretchBlt(background_.get(), 0, 0, bufferWidth_, height, Skin(), 0, 0, 1,
                   MetricsOf(style_).backgroundRows, SRCCOPY);
}

void uTab::PaintTabs(bool update) {
    if (!redrawEnabled_) return;
    const HDC area = tabArea_.get();
    const int height = StripHeight();
    SetBkMode(area, TRANSPARENT);
    const Selection font(area, normalFont_.get());
    SetTextColor(area, kCaptionColour);
    BitBlt(area, 0, 0, areaWidth_, height, background_.get(), leftSize_, 0, SRCCOPY);
    // Right to left, so each tab covers the slanted edge of its right neighbour.
    for (std::int32_t i = items_->Count() - 1; i >= 0; --i) {
        if (i != selected_) DrawTab(i, false);
    }
    SelectObject(area, selectedFont_.get()); // the Selection above puts the original back
    SetTextColor(area, kSelectedCaptionColour);
    if (selected_ >= 0 && selected_ < items_->Count()) DrawTab(selected_, true);

    BitBlt(composite_.get(), 0, 0, bufferWidth_, height, background_.get(), 0, 0, SRCCOPY);
    BitBlt(composite_.get(), leftSize_, 0, areaWidth_, height, area, 0, 0, SRCCOPY);
    if (update && IsCreated()) {
        const WindowDC screen(hwnd());
        BitBlt(screen.get(), 0, 0, bufferWidth_, height, composite_.get(), 0, 0, SRCCOPY);
    }
}

void uTab::DrawTab(std::int32_t index, bool selected) {
    const CTabItem& item = *items_->ItemAt(index);
    const TabStyleMetrics& m = MetricsOf(style_);
    const TabPaint p = PlanTabPaint(style_, item, selected, index == hover_, closeState_);
    const HDC area = tabArea_.get();
    DrawNineGrid(area, p.face.x, p.face.y, p.face.width, p.face.height, Skin(), p.faceSourceX, 0,
                 m.faceSourceWidth, m.faceHeight, kFaceMargin, 0, kFaceMargin, 0, kKey);
    DrawCaption(item.Caption(), area, p.caption);
    if (p.glyph)
        DrawTransparent(area, p.glyphX, p.glyphY, kGlyphSize, kGlyphSize, Skin(), p.glyphSourceX, 0,
                        kKey);
}

void uTab::DrawCaption(const std::wstring& text, HDC dc, const PixelRect& box) {
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    const CaptionPlacement at = PlaceCaption(box, extent.cx, extent.cy);
    DrawTextInRect(dc, text, -1, at.rect.x, at.rect.y, at.rect.width, at.rect.height, at.format);
}

void uTab::render(HDC target) const {
    BitBlt(target, 0, 0, bufferWidth_, bufferHeight_, composite_.get(), 0, 0, SRCCOPY);
}

} // namespace tessaly::win
