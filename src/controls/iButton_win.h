#pragma once
// iButton, the skinned button (class identifier Kestrel.iButton): its face is
// cut from one skin picture, BackPicture, a strip of equal frames (normal,
// hover, pressed; a toggle button has the same again for its on position).
// It can show an icon and a one-line caption, follows the pointer itself, takes
// Enter and Space, and draws a focus rectangle. Style 0 is a push button,
// Style 1 a toggle whose Value flips on every click.
//
// Behaviour lives in ButtonMachine; this is the window: it hands the machine
// the platform's notifications, tests the pointer, runs the 50 ms leave poll,
// and paints through its retained surface.

#include "base/Control_win.h"
#include "controls/ButtonMachine.h"
#include "controls/Picture_win.h"
#include "controls/Surface_win.h"

#include <memory>
#include <string>
#include <vector>

namespace tessaly::win {

class iButton : public Control, public iButtonEvents, private ButtonPlatform {
public:
    iButton();
    ~iButton() override;

    // The properties in their declared order; hWnd is hwnd().
    int cDrawMode() const { return surface_.DrawMode(); }
    void SetcDrawMode(int mode); // 1 to 16, 13 copies the pen
    const FontDesc& cFont() const { return surface_.Font(); }
    void SetcFont(const FontDesc& font);
    std::uint32_t cForeColor() const { return surface_.ForeColor(); }
    void SetcForeColor(std::uint32_t colour);
    bool Locked() const { return machine_.Locked(); }
    void SetLocked(bool locked) { machine_.SetLocked(locked); }
    bool Value() const { return machine_.Value(); }
    void SetValue(bool value) { machine_.SetValue(value); }
    bool AutoSize() const { return machine_.AutoSize(); }
    void SetAutoSize(bool autoSize) { machine_.SetAutoSize(autoSize); }
    int Style() const { return machine_.Style(); }
    void SetStyle(int style) { machine_.SetStyle(style); }
    const PicturePtr& BackPicture() const { return backPicture_; }
    void SetBackPicture(PicturePtr picture);
    const PicturePtr& Icon() const { return icon_; }
    // Shows from the next repaint on.
    void SetIcon(PicturePtr icon);
    bool Enabled() const { return machine_.Enabled(); }
    void SetEnabled(bool enabled);
    int cBackStyle() const { return surface_.BackStyle(); }
    void SetcBackStyle(int style); // 0 transparent, 1 opaque
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(std::wstring caption);
    HDC hdc() const { return surface_.hdc(); }
    std::shared_ptr<Picture> Image() const { return surface_.Image(); }

    void cMouseAction(int cAction, bool vComplePaint) {
        machine_.cMouseAction(cAction, vComplePaint);
    }
    int ShownState() const { return machine_.ShownState(); }
    // One frame of the current skin and style, in pixels (0 without a skin).
    int FrameWidth() const;
    int FrameHeight() const;

    void ReadProperties(const PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;

    const Surface& surface() const { return surface_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    void OnResize() override;
    void OnPaint(HDC dc) override { surface_.Paint(dc); }
    // A press never takes the keyboard focus: the page keeps it.
    void OnMouseDown(int& button, int& shift, float& x, float& y) override {
        machine_.MousePressed(button, shift, x, y);
    }
    void OnMouseUp(int& button, int& shift, float& x, float& y) override {
        machine_.MouseReleased(button, shift, x, y);
    }
    void OnMouseMove(int& button, int& shift, float& x, float& y) override {
        machine_.MouseMoved(button, shift, x, y);
    }
    void OnClick() override { machine_.Clicked(); }
    void OnDblClick(int /*button*/) override { machine_.DoubleClicked(); }
    void OnKeyDown(int& keyCode, int& shift) override { machine_.KeyWentDown(keyCode, shift); }
    void OnKeyUp(int& keyCode, int& shift) override { machine_.KeyWentUp(keyCode, shift); }
    void OnKeyPress(int& keyAscii) override { machine_.CharacterTyped(keyAscii); }
    void OnFocus(bool gained) override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroyed() override { surface_.Detach(); }

private:
    bool IsMouseOver() override;
    void ShowPointer(ButtonCursor cursor) override;
    void EnableTimer(bool enabled) override;
    void PaintButton(int state) override;
    void DrawFocus() override;
    void BuildFrames() override;
    void ReportPropertyChanged(std::wstring_view name) override { RaisePropertyChanged(name); }

    std::shared_ptr<Picture> CutFrame(HDC source, int x, int y, int cx, int cy) const;
    PicturePtr GetFrame(int state) const;
    void PaintFace();

    Surface surface_;
    ButtonMachine machine_{*this, *this};
    PicturePtr backPicture_;
    PicturePtr icon_;
    std::wstring caption_;
    std::vector<PicturePtr> frames_;
    bool framesReady_ = false;
};

} // namespace tessaly::win
