#include "app/LoadFrm_win.h"

#include "app/Texts.h"
#include "resources/ResourceIds.h"

namespace tessaly::win {
namespace {

constexpr UINT_PTR kCloseTimer = 1;
// Until the login window takes over, the splash shows this long.
constexpr UINT kSplashMilliseconds = 3000;

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
    Release();
}

void LoadFrm::OnLoad() {
    SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
    gdiplus_ = std::make_unique<GdiplusSession>();
    image_ = LoadPngResource(IDR_PNG_SPLASH, L"PNG");
    canvas_ = PaintLayered(hwnd(), image_.get());
    SetTimer(hwnd(), kCloseTimer, kSplashMilliseconds, nullptr);
}

void LoadFrm::OnTimer(UINT_PTR id) {
    if (id != kCloseTimer) return;
    KillTimer(hwnd(), kCloseTimer);
    Close();
}

void LoadFrm::OnUnload() {
    Release();
}

void LoadFrm::Release() {
    // The image before GDI+ shuts down; the canvas puts its DC's first bitmap
    // back before the DC and the bitmap are deleted.
    image_ = StreamImage();
    gdiplus_.reset();
    canvas_ = LayeredCanvas();
}

} // namespace tessaly::win
