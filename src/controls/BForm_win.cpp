#include "controls/BForm_win.h"

#include "base/Units.h"
#include "controls/Colour.h"
#include "resources/ResourceIds.h"

#include <cstdint>

namespace tessaly::win {
namespace {

FontDesc CaptionFont() {
    FontDesc font = DefaultFont();
    font.bold = true;
    return font;
}

void ShowArrow() {
    static const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW); // shared, looked up once
    SetCursor(arrow);
}

} // namespace

BForm::BForm()
    : Control(L"TessalyBForm")
    , surface_(BFormDesign{}.BackColor)
    , skin_(Picture::LoadBitmapResource(IDB_FRAME_SKIN)) {
    surface_.SetForeColor(Rgb(255, 255, 255));
    surface_.SetFont(CaptionFont());
}

BForm::~BForm() {
    Destroy();
}

void BForm::OnCreate() {
    surface_.Attach(hwnd());
}

FrameSkin BForm::Skin() const {
    if (!skin_) return {};
    return {PixelsToTwips(skin_->WidthPixels()), PixelsToTwips(skin_->HeightPixels())};
}

void BForm::Draw(Surface& surface, const SkinPiece& piece) const {
    // Without the skin the bar shows its background colour and the caption.
    if (skin_) surface.PaintPicture(*skin_, piece.x, piece.y, piece.source);
}

void BForm::PaintBar(const std::wstring& caption) const {
    surface_.Cls();
    for (const SkinPiece& piece : Skin().Bar(Width()))
        Draw(surface_, piece);
    const TwipsPoint at = BarCaptionPosition(design_.HasLogo);
    surface_.Print(caption, at.x, at.y);
    surface_.Refresh();
}

void BForm::Printform(Surface& frm) {
    if (!frm.window()) return;
    RECT outer{};
    GetWindowRect(frm.window(), &outer);
    frm.Cls();
    for (const SkinPiece& piece : Skin().Border(PixelsToTwips(outer.right - outer.left),
                                                PixelsToTwips(outer.bottom - outer.top)))
        Draw(frm, piece);
    frm.Refresh();
}

void BForm::Nomin() {
    // Nothing else is hidden with the button's place: no element of the bar
    // stands for it.
    Draw(surface_, Skin().Nomin(Width()));
    surface_.Print(design_.Caption, kNominCaptionPosition.x, kNominCaptionPosition.y);
    surface_.Refresh();
}

void BForm::SetBackColor(std::wstring_view text) {
    const std::uint32_t colour = ColourFromValue(std::wstring(text));
    design_.BackColor = colour;
    surface_.SetBackColor(colour);
    PaintBar(design_.Caption);
    RaisePropertyChanged(L"BackColor");
}

void BForm::SetCaption(std::wstring caption) {
    design_.Caption = std::move(caption);
    PaintBar(design_.Caption);
    RaisePropertyChanged(L"Caption");
}

void BForm::SetHasLogo(bool hasLogo) {
    design_.HasLogo = hasLogo;
    PaintBar(design_.Caption);
    RaisePropertyChanged(L"HasLogo");
}

HWND BForm::frmHwnd() const {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(design_.frmHwnd));
}

void BForm::SetfrmHwnd(HWND window) {
    design_.frmHwnd = reinterpret_cast<std::intptr_t>(window);
    RaisePropertyChanged(L"frmHwnd");
}

void BForm::OnResize() {
    surface_.Resize();
    RECT client{};
    GetClientRect(hwnd(), &client);
    if (client.bottom != TwipsToPixels(kBFormHeight)) {
        Move(Left(), Top(), Width(), kBFormHeight);
        return; // the resize that follows paints
    }
    PaintBar(design_.Caption);
}

void BForm::OnMouseDown(int& button, int& shift, float& x, float& y) {
    ShowArrow();
    if (button == 1) {
        ReleaseCapture();
        // The platform runs its window-move loop until the button is released.
        if (const HWND target = frmHwnd()) SendMessageW(target, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        ShowArrow();
    }
    MouseDown.Raise(button, shift, x, y);
}

void BForm::OnMouseMove(int& button, int& shift, float& x, float& y) {
    ShowArrow();
    MouseMove.Raise(button, shift, x, y);
}

void BForm::ReadProperties(const PropertyBag& bag) {
    ReadBFormDesign(bag, design_, [this] {
        surface_.SetBackColor(design_.BackColor);
        PaintBar(design_.Caption);
    });
}

void BForm::WriteProperties(PropertyBag& bag) const {
    WriteBFormDesign(bag, design_, [this] { PaintBar(design_.Caption); });
}

} // namespace tessaly::win
