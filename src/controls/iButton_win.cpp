#include "controls/iButton_win.h"

#include "base/Units.h"
#include "controls/ButtonDesign.h"

#include <optional>
#include <vector>

namespace tessaly::win {
namespace {

constexpr UINT_PTR kLeavePoll = 1; // Timer1
constexpr UINT kLeavePollMs = 50;

// Selects a palette into a DC as the foreground palette and puts the previous
// one back, before the palette can be handed to its picture.
class PaletteSelection {
public:
    PaletteSelection(HDC dc, HPALETTE palette)
        : dc_(dc)
        , previous_(SelectPalette(dc, palette, FALSE)) {
        RealizePalette(dc);
    }
    ~PaletteSelection() {
        if (previous_) SelectPalette(dc_, previous_, FALSE);
    }
    PaletteSelection(const PaletteSelection&) = delete;
    PaletteSelection& operator=(const PaletteSelection&) = delete;

private:
    HDC dc_;
    HPALETTE previous_;
};

// On a 256-colour display frames keep the colours of the system palette they
// were cut under.
UniquePalette SystemPaletteOf(HDC dc) {
    if (!(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) || GetDeviceCaps(dc, SIZEPALETTE) != 256)
        return UniquePalette();
    std::vector<BYTE> storage(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = 256;
    GetSystemPaletteEntries(dc, 0, 256, palette->palPalEntry);
    return UniquePalette(CreatePalette(palette));
}

} // namespace

iButton::iButton()
    : Control(L"TessalyiButton") {}

iButton::~iButton() {
    Destroy();
}

void iButton::OnCreate() {
    // Tab reaches the button in a window that handles dialog keys.
    SetWindowLongPtrW(hwnd(), GWL_STYLE, GetWindowLongPtrW(hwnd(), GWL_STYLE) | WS_TABSTOP);
    surface_.Attach(hwnd());
    machine_.Created();
}

LRESULT iButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        // The first time the window system wants the button, it is shown.
        machine_.Shown();
        break;
    case WM_MOUSEACTIVATE:
        // A click on a caption button leaves the keyboard where it was (in
        // the page below): the button acts on the click alone.
        if (GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_CHILD) return MA_NOACTIVATE;
        break;
    case WM_SETCURSOR:
        // The button sets the hand or the arrow itself as the pointer moves;
        // the class arrow in between would flicker.
        if (LOWORD(lParam) == HTCLIENT) return TRUE;
        break;
    default:
        break;
    }
    return Control::HandleMessage(message, wParam, lParam);
}

void iButton::SetcDrawMode(int mode) {
    surface_.SetDrawMode(mode);
    machine_.Redraw();
    RaisePropertyChanged(L"cDrawMode");
}

void iButton::SetcFont(const FontDesc& font) {
    surface_.SetFont(font);
    machine_.Redraw();
    RaisePropertyChanged(L"cFont");
}

void iButton::SetcForeColor(std::uint32_t colour) {
    surface_.SetForeColor(colour);
    machine_.Redraw();
    RaisePropertyChanged(L"cForeColor");
}

void iButton::SetBackPicture(PicturePtr picture) {
    backPicture_ = std::move(picture);
    BuildFrames();
    RaisePropertyChanged(L"BackPicture");
}

void iButton::SetIcon(PicturePtr icon) {
    icon_ = std::move(icon);
    RaisePropertyChanged(L"Icon");
}

void iButton::SetEnabled(bool enabled) {
    if (IsCreated()) EnableWindow(hwnd(), enabled);
    machine_.SetEnabled(enabled);
}

void iButton::SetcBackStyle(int style) {
    surface_.SetBackStyle(style);
    machine_.Redraw();
    RaisePropertyChanged(L"cBackStyle");
}

void iButton::SetCaption(std::wstring caption) {
    caption_ = std::move(caption);
    machine_.Redraw();
    RaisePropertyChanged(L"Caption");
}

int iButton::FrameWidth() const {
    if (!backPicture_) return 0;
    return FrameSizeOf(backPicture_->WidthHimetric(), backPicture_->HeightHimetric(), Style())
        .width;
}

int iButton::FrameHeight() const {
    if (!backPicture_) return 0;
    return FrameSizeOf(backPicture_->WidthHimetric(), backPicture_->HeightHimetric(), Style())
        .height;
}

void iButton::OnResize() {
    surface_.Resize();
    const int width = PixelsToTwips(FrameWidth()), height = PixelsToTwips(FrameHeight());
    // An auto-sized button keeps one frame's size whatever its host asks.
    if (AutoSize() && backPicture_ && width > 0 && height > 0 &&
        (Width() != width || Height() != height)) {
        Move(Left(), Top(), width, height);
        return; // the resize that follows refreshes
    }
    machine_.Refresh();
}

void iButton::OnFocus(bool gained) {
    // A host may give the focus before the window system first asks the button
    // to paint; it is on screen by then, and its frames must be cut before
    // the focus rectangle is drawn on its face.
    if (gained && IsWindowVisible(hwnd())) machine_.Shown();
    machine_.FocusChanged(gained);
}

void iButton::OnTimer(UINT_PTR id) {
    if (id == kLeavePoll) machine_.TimerTick();
}

bool iButton::IsMouseOver() {
    POINT at{};
    return IsCreated() && GetCursorPos(&at) && WindowFromPoint(at) == hwnd();
}

void iButton::ShowPointer(ButtonCursor cursor) {
    // Shared system cursors, looked up once: every pointer move sets one.
    static const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    static const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(cursor == ButtonCursor::Hand ? hand : arrow);
}

void iButton::EnableTimer(bool enabled) {
    if (!IsCreated()) return;
    if (enabled) {
        SetTimer(hwnd(), kLeavePoll, kLeavePollMs, nullptr);
    } else {
        KillTimer(hwnd(), kLeavePoll);
    }
}

void iButton::BuildFrames() {
    frames_.clear();
    if (!backPicture_) {
        framesReady_ = false;
    } else {
        const FrameSize frame =
            FrameSizeOf(backPicture_->WidthHimetric(), backPicture_->HeightHimetric(), Style());
        UniqueDC source(CreateCompatibleDC(surface_.hdc()));
        {
            // The picture keeps its bitmap; it is only lent to the source.
            Selection lent(source.get(), backPicture_->bitmap());
            for (int i = 0; i < SlotCount(Style()); ++i)
                frames_.push_back(
                    CutFrame(source.get(), i * frame.width, 0, frame.width, frame.height));
        }
        if (AutoSize() && frame.width > 0 && frame.height > 0)
            Move(Left(), Top(), PixelsToTwips(frame.width), PixelsToTwips(frame.height));
        framesReady_ = true;
    }
    machine_.Refresh();
}

std::shared_ptr<Picture> iButton::CutFrame(HDC source, int x, int y, int cx, int cy) const {
    if (cx <= 0 || cy <= 0) return std::make_shared<Picture>(UniqueBitmap());
    UniqueDC target(CreateCompatibleDC(source));
    // Compatible with the source, which holds the skin: the frame keeps its format.
    UniqueBitmap frame(CreateCompatibleBitmap(source, cx, cy));
    UniquePalette palette = SystemPaletteOf(source);
    {
        Selection selected(target.get(), frame.get());
        std::optional<PaletteSelection> realized;
        if (palette) realized.emplace(target.get(), palette.get());
        // A slot beyond the skin's right edge copies nothing and stays as made.
        BitBlt(target.get(), 0, 0, cx, cy, source, x, y, SRCCOPY);
    }
    return std::make_shared<Picture>(std::move(frame), std::move(palette));
}

PicturePtr iButton::GetFrame(int state) const {
    if (!framesReady_) return nullptr;
    const int slot = SlotFor(state, Style(), Value());
    if (slot < 0 || slot >= static_cast<int>(frames_.size())) return nullptr;
    return frames_[static_cast<std::size_t>(slot)];
}

void iButton::PaintButton(int state) {
    surface_.Cls();
    PaintFace();
    if (!caption_.empty()) {
        const TwipsPoint at = CaptionPosition(
            Width(), Height(), surface_.TextWidth(caption_), surface_.TextHeight(caption_),
            icon_ ? std::optional<int>(icon_->WidthHimetric()) : std::nullopt, state);
        surface_.Print(caption_, at.x, at.y);
    }
    surface_.Refresh();
}

void iButton::PaintFace() {
    const PicturePtr frame = GetFrame(Locked() ? kStatePressed : ShownState());
    if (!frame) return;
    if (surface_.BackStyle() != 0) {
        surface_.PaintPicture(*frame, 0, 0, Width(), Height());
        if (icon_) {
            const int textWidth = caption_.empty() ? 0 : surface_.TextWidth(caption_);
            const TwipsPoint at = IconPosition(Width(), textWidth, icon_->WidthHimetric());
            surface_.PaintPicture(*icon_, at.x, at.y);
        }
    } else if (AutoSize()) {
        surface_.SetMaskPicture(frame);
        surface_.PaintPicture(*frame, 0, 0, Width(), Height());
    } else {
        // The frame stretched over the control is what the window covers.
        surface_.SetBackStyle(1);
        surface_.PaintPicture(*frame, 0, 0, Width(), Height());
        surface_.SetMaskPicture(surface_.Image());
        surface_.SetBackStyle(0);
    }
}

void iButton::DrawFocus() {
    if (!IsCreated()) return;
    // In pixels at the screen's own ratio; it stays until the next PaintButton clears it.
    WindowDC screen(hwnd());
    const double perPixelX = 1440.0 / GetDeviceCaps(screen.get(), LOGPIXELSX);
    const double perPixelY = 1440.0 / GetDeviceCaps(screen.get(), LOGPIXELSY);
    const RECT focus{3, 3, static_cast<LONG>(RoundHalfEven(Width() / perPixelX - 3)),
                     static_cast<LONG>(RoundHalfEven(Height() / perPixelY - 3))};
    DrawFocusRect(surface_.hdc(), &focus);
    surface_.Refresh();
}

void iButton::ReadProperties(const PropertyBag& bag) {
    ButtonDesign current;
    current.cFont = surface_.Font();
    current.cDrawMode = surface_.DrawMode();
    current.cForeColor = surface_.ForeColor();
    const ButtonDesign design = ReadButtonDesign(bag, current);
    // Stored as they are: frames are cut at the first showing.
    PicturePtr backPicture = Picture::FromDesign(design.BackPicture);
    PicturePtr icon = Picture::FromDesign(design.Icon);
    backPicture_ = std::move(backPicture);
    icon_ = std::move(icon);
    machine_.Restore(design.Style, design.Enabled, design.AutoSize);
    if (IsCreated()) EnableWindow(hwnd(), design.Enabled);
    surface_.SetBackStyle(design.cBackStyle);
    caption_ = design.Caption;
    surface_.SetForeColor(design.cForeColor);
    surface_.SetFont(design.cFont);
    surface_.SetDrawMode(design.cDrawMode);
}

void iButton::WriteProperties(PropertyBag& bag) const {
    ButtonDesign design;
    design.BackPicture = backPicture_ ? backPicture_->DesignText() : std::wstring();
    design.Icon = icon_ ? icon_->DesignText() : std::wstring();
    design.Enabled = Enabled();
    design.Style = Style();
    design.cBackStyle = cBackStyle();
    design.Caption = caption_;
    design.AutoSize = AutoSize();
    design.cFont = cFont();
    design.cDrawMode = cDrawMode();
    design.cForeColor = cForeColor();
    WriteButtonDesign(bag, design);
}

} // namespace tessaly::win
