#include "app/LoadFrm_win.h"

#include "app/Texts.h"
#include "resources/ResourceIds.h"

namespace tessaly::win {
namespace {

FormDesign SplashDesign() {
    FormDesign design;
    design.className = L"TessalyLoadFrm";
    design.caption = std::wstring(texts::kGameTitle) + texts::kClientSuffix;
    design.clientWidthTwips = 5340;
    design.clientHeightTwips = 1830;
    design.style = WS_POPUP;
    return design;
}

} // namespace

LoadFrm::LoadFrm()
    : Form(SplashDesign()) {}

LoadFrm::~LoadFrm() {
    Destroy();
}

void LoadFrm::OnLoad() {
    picture_.Load(hwnd(), IDR_PNG_SPLASH);
    if (loadLogin_) loadLogin_();
}

LRESULT LoadFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SHOWWINDOW && wParam) picture_.Present();
    return Form::HandleMessage(message, wParam, lParam);
}

} // namespace tessaly::win
