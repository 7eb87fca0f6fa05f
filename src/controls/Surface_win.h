#pragma once
// The retained drawing surface: the one thing through which the skinned
// controls and windows draw. It keeps the window's image in a memory bitmap of
// the client size, draws into it in twips (15 per pixel) with its background
// and foreground colours, font and draw mode, and paints the window from it
// whenever the window asks. Text is drawn without filling its background.
//
// Back style 0 (transparent) with a mask picture shapes the window: the
// window covers only the mask's pixels that are not the mask colour, so its
// parent shows through elsewhere. The shape is taken up when the owner calls
// Refresh at the end of a drawing step, so a back style switched within a step
// does not make the parent repaint.

#include "base/Handles_win.h"
#include "controls/BFormGeometry.h"
#include "controls/Colour.h"
#include "controls/FontDesc.h"
#include "controls/Picture_win.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace tessaly::win {

class Surface {
public:
    explicit Surface(std::uint32_t backColor = kWindowColour);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Makes the image at the window's client size. Until then, and after
    // Detach, drawing does nothing.
    void Attach(HWND window);
    void Detach();
    HWND window() const { return window_; }
    HDC hdc() const { return dc_.get(); }
    // Follows the window's client size, keeping what still fits.
    void Resize();

    std::uint32_t BackColor() const { return backColor_; }
    void SetBackColor(std::uint32_t colour) { backColor_ = colour; }
    std::uint32_t ForeColor() const { return foreColor_; }
    void SetForeColor(std::uint32_t colour);
    const FontDesc& Font() const { return fontDesc_; }
    void SetFont(const FontDesc& font);
    int DrawMode() const { return drawMode_; }
    void SetDrawMode(int mode);
    int BackStyle() const { return backStyle_; }
    void SetBackStyle(int style) { backStyle_ = style; }
    void SetMaskPicture(PicturePtr mask) { mask_ = std::move(mask); }

    // Drawing, in twips.
    void Cls();
    void PaintPicture(const Picture& picture, int x, int y);
    void PaintPicture(const Picture& picture, int x, int y, int width, int height);
    // The part `source` of the picture at its own size; what lies outside the
    // picture is not drawn.
    void PaintPicture(const Picture& picture, int x, int y, const TwipsRect& source);
    int TextWidth(std::wstring_view text) const;
    int TextHeight(std::wstring_view text) const;
    void Print(std::wstring_view text, int x, int y);
    // A copy of the image as it is now.
    std::shared_ptr<Picture> Image() const;

    // Shapes the window as the back style and mask say and has it repainted.
    void Refresh();
    void Paint(HDC target) const;

private:
    void MakeImage(int width, int height);
    void Invalidate() const;
    UniqueRegion ShapeWanted() const;

    HWND window_ = nullptr;
    int width_ = 0; // pixels
    int height_ = 0;
    std::uint32_t backColor_;
    std::uint32_t foreColor_ = kButtonTextColour;
    FontDesc fontDesc_ = DefaultFont();
    int drawMode_ = 13;
    int backStyle_ = 1;
    PicturePtr mask_;
    // Member order is release order backwards: the selections go back before
    // the font, bitmap and DC they refer to are deleted.
    UniqueDC dc_;
    UniqueBitmap image_;
    UniqueFont font_;
    Selection imageSelection_;
    Selection fontSelection_;
    // What the window was last shaped with (none: the whole window), and from what.
    // The mask is held so that a new mask cannot take its address.
    UniqueRegion shape_;
    PicturePtr shapedFrom_;
    bool shapedTransparent_ = false;
};

// A colour as designs hold it (system colours included) as GDI wants it.
COLORREF ToColorRef(std::uint32_t colour);

} // namespace tessaly::win
