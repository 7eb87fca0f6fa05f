#pragma once
// BForm, the skinned frame control (class identifier Kestrel.BForm): a caption
// bar across the top of a borderless window, drawn from the frame skin
// (resource bitmap 108) with the window's title in it, and through Printform a
// thin border from the same skin along the host's left, right and bottom
// edges. A left press on the bar moves the window frmHwnd as dragging a
// caption would. Its height is always 500 twips.

#include "base/Control_win.h"
#include "base/Event.h"
#include "base/Text.h"
#include "controls/BFormDesign.h"
#include "controls/Picture_win.h"
#include "controls/Surface_win.h"

#include <string>
#include <string_view>

namespace tessaly::win {

class BForm : public Control {
public:
    BForm();
    ~BForm() override;

    // The events in their declared order. CloseClick and MinClick are declared
    // for hosts that wire them but are never raised.
    Event<> CloseClick;
    Event<> MinClick;
    Event<> DblClick;
    Event<int& /*Button*/, int& /*Shift*/, float& /*X*/, float& /*Y*/> MouseDown;
    Event<int& /*Button*/, int& /*Shift*/, float& /*X*/, float& /*Y*/> MouseMove;

    // The decimal text of the 32-bit background colour. Setting a text that is
    // not a number raises the type-mismatch error and keeps the colour.
    std::wstring BackColor() const { return DecimalText(design_.BackColor); }
    void SetBackColor(std::wstring_view text);
    const std::wstring& Caption() const { return design_.Caption; }
    void SetCaption(std::wstring caption);
    bool HasLogo() const { return design_.HasLogo; }
    void SetHasLogo(bool hasLogo);
    HWND frmHwnd() const;
    void SetfrmHwnd(HWND window);

    // Draws the border on the host's surface, over whatever the host had drawn
    // there. Hosts call it after each change of their size.
    void Printform(Surface& frm);
    // Covers the minimise button's place with plain bar and prints the caption again.
    void Nomin();

    void ReadProperties(const PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;

    const Surface& surface() const { return surface_; }

protected:
    void OnCreate() override;
    void OnResize() override;
    void OnPaint(HDC dc) override { surface_.Paint(dc); }
    void OnMouseDown(int& button, int& shift, float& x, float& y) override;
    void OnMouseMove(int& button, int& shift, float& x, float& y) override;
    void OnDblClick(int /*button*/) override { DblClick.Raise(); }
    void OnDestroyed() override { surface_.Detach(); }

private:
    void PaintBar(const std::wstring& caption) const;
    FrameSkin Skin() const;
    void Draw(Surface& surface, const SkinPiece& piece) const;

    // The bar's image, not part of its designed state: writing the design
    // repaints it too.
    mutable Surface surface_;
    BFormDesign design_;
    PicturePtr skin_;
};

} // namespace tessaly::win
