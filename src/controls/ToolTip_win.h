#pragma once
// A tooltip over one control, whose text the host changes as the pointer
// moves over different parts of it. An empty text shows no tip.

#include <windows.h>

#include <commctrl.h>

#include "base/Handles_win.h"

#include <string>

namespace tessaly::win {

class ToolTip {
public:
    ToolTip() = default;
    ToolTip(const ToolTip&) = delete;
    ToolTip& operator=(const ToolTip&) = delete;

    // The tip window is owned by the control's top-level window and watches
    // the control's mouse messages itself.
    void Attach(HWND control);
    void SetText(const std::wstring& text);
    const std::wstring& Text() const { return text_; }
    HWND hwnd() const { return tip_.get(); }

private:
    TOOLINFOW Tool();

    UniqueWindow tip_;
    HWND control_ = nullptr;
    std::wstring text_;
};

} // namespace tessaly::win
