#include "controls/ToolTip_win.h"

namespace tessaly::win {

TOOLINFOW ToolTip::Tool() {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetAncestor(control_, GA_ROOT);
    tool.uId = reinterpret_cast<UINT_PTR>(control_);
    tool.lpszText = text_.data();
    return tool;
}

void ToolTip::Attach(HWND control) {
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    control_ = control;
    tip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               GetAncestor(control, GA_ROOT), nullptr, nullptr, nullptr));
    if (!tip_) return;
    TOOLINFOW tool = Tool();
    SendMessageW(tip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void ToolTip::SetText(const std::wstring& text) {
    if (text == text_) return;
    text_ = text;
    if (!tip_) return;
    TOOLINFOW tool = Tool();
    SendMessageW(tip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    // A tip that is showing takes the new text, or goes when it has none.
    if (text_.empty()) SendMessageW(tip_.get(), TTM_POP, 0, 0);
}

} // namespace tessaly::win
