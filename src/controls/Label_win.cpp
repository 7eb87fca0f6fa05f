#include "controls/Label_win.h"

namespace tessaly::win {

Label::Label(std::uint32_t backColor)
    : Control(L"TessalyLabel")
    , surface_(backColor) {
    surface_.SetForeColor(Rgb(0, 0, 0));
}

Label::~Label() {
    Destroy();
}

void Label::OnCreate() {
    surface_.Attach(hwnd());
    // The window text is what screen readers and UI automation read.
    SetWindowTextW(hwnd(), caption_.c_str());
    Draw();
}

void Label::OnResize() {
    surface_.Resize();
    Draw();
}

void Label::SetCaption(std::wstring caption) {
    caption_ = std::move(caption);
    if (IsCreated()) SetWindowTextW(hwnd(), caption_.c_str());
    Draw();
}

void Label::Draw() {
    surface_.Cls();
    surface_.Print(caption_, 0, 0);
    surface_.Refresh();
}

} // namespace tessaly::win
