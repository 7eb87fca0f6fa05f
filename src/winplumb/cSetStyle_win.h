#pragma once
// Turns a top-level window borderless and gives back what its frame did:
// resizing by the edges and corners (an outline follows the pointer and the
// window takes it at the release), its own maximise that leaves the taskbar
// band visible, and notice of the system's close command and of setting
// changes. It sees the window's messages through a form subclass it owns.
//
// The system's close command (the taskbar's Close, Alt+F4) is answered here
// when CloseClick has a handler: the owner's close command asks once, and the
// window's own procedure never carries the command out as well. A CloseClick
// handler may release this object and close the window.

#include <windows.h>

#include "base/Event.h"
#include "base/Handles_win.h"
#include "winplumb/SizingZones.h"
#include "winplumb/cFormSubclass_win.h"

#include <functional>
#include <memory>

namespace tessaly::win {

class cSetStyle {
public:
    cSetStyle();
    ~cSetStyle();
    cSetStyle(const cSetStyle&) = delete;
    cSetStyle& operator=(const cSetStyle&) = delete;

    Event<> CloseClick;
    Event<> SettingChange;
    Event<int> MouseSize; // theMouseStyle: the border zone under the pointer

    void SetWindowStyle(HWND hWnd);
    // Toggles between filling the work area and the saved place; returns
    // true when the window now fills the work area.
    bool CallWindowStateChange();

    HWND objForm() const { return form_; }
    void set_objForm(HWND form) { form_ = form; }

    bool maximised() const { return maximised_; }
    bool dragging() const { return dragging_; }
    // Where the pointer is, in screen pixels (GetCursorPos unless replaced).
    std::function<POINT()> CursorPosition;

private:
    void objSubclass_MsgCome(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hwnd, UINT& uMsg,
                             WPARAM& wParam, LPARAM& lParam);
    void FillWorkArea();
    void EndDrag(bool apply);
    Outline WindowOutline() const;

    cFormSubclass subclass_;
    HWND window_ = nullptr;
    HWND form_ = nullptr;
    std::unique_ptr<WindowDC> screen_;
    bool dragging_ = false;
    bool maximised_ = false;
    RECT restore_{}; // left, top, width, height in twips
    int zone_ = kNoZone;
    Outline drawn_;
};

} // namespace tessaly::win
