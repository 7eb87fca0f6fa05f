#pragma once
// The base of the program's child-window controls: placement in twips, designed
// properties read from and written to the host's property bag, painting, and
// the mouse and key notifications in the form controls expect them:
//   press -> MouseDown; release -> MouseUp, then Click when press and release
//   were both on the control; a second press within the double-click time ->
//   DblClick instead of MouseDown (its release gives MouseUp only).
// Mouse positions are in twips; Button is 1 left, 2 right, 4 middle; Shift is
// 1 Shift, 2 Ctrl, 4 Alt.

#include "base/Event.h"
#include "base/PropertyBag.h"
#include "base/Window_win.h"

#include <string_view>

namespace tessaly::win {

class Control : public Window {
public:
    // Tells the host that a persisted property changed (its name).
    Event<std::wstring_view> PropertyChanged;

    void Create(HWND parent, int leftTwips, int topTwips, int widthTwips, int heightTwips);
    void Move(int leftTwips, int topTwips, int widthTwips, int heightTwips);
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetVisible(bool visible);

    virtual void ReadProperties(const PropertyBag& /*bag*/) {}
    virtual void WriteProperties(PropertyBag& /*bag*/) const {}

protected:
    explicit Control(const wchar_t* className)
        : className_(className) {}

    virtual void OnCreate() {}
    virtual void OnResize() {}
    virtual void OnMouseDown(int& /*button*/, int& /*shift*/, float& /*x*/, float& /*y*/) {}
    virtual void OnMouseUp(int& /*button*/, int& /*shift*/, float& /*x*/, float& /*y*/) {}
    virtual void OnMouseMove(int& /*button*/, int& /*shift*/, float& /*x*/, float& /*y*/) {}
    virtual void OnClick() {}
    virtual void OnDblClick(int /*button*/) {}
    virtual void OnKeyDown(int& /*keyCode*/, int& /*shift*/) {}
    virtual void OnKeyUp(int& /*keyCode*/, int& /*shift*/) {}
    virtual void OnKeyPress(int& /*keyAscii*/) {}
    virtual void OnFocus(bool /*gained*/) {}
    virtual void OnTimer(UINT_PTR /*id*/) {}

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void RaisePropertyChanged(std::wstring_view name) { PropertyChanged.Raise(name); }

private:
    void MouseButton(UINT message, WPARAM wParam, LPARAM lParam);
    const wchar_t* className_;
    int pressedButtons_ = 0;
};

// The form of mouse values the controls pass on: Button 1 left, 2 right,
// 4 middle (for one message, or held during a move); Shift 1, 2, 4.
int ShiftState();
// The same from a mouse message's key flags; only Alt needs asking, which
// saves two round trips to the window system on every mouse message.
int MouseShiftState(WPARAM mouseKeys);
int ButtonOf(UINT mouseMessage);
int ButtonsHeld(WPARAM mouseKeys);

} // namespace tessaly::win
