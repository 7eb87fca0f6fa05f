#include "controls/MsgFrm_win.h"

#include "base/Units.h"
#include "controls/ButtonDesign.h"
#include "controls/PictureRef.h"
#include "resources/ResourceIds.h"

namespace tessaly::win {
namespace {

constexpr std::uint32_t kWhite = Rgb(255, 255, 255);
constexpr int kCloseFromRight = 730; // twips from the window's right edge to the close button

FormDesign DialogDesign(const std::wstring& caption) {
    FormDesign design;
    design.className = L"TessalyMsgFrm";
    design.caption = caption;
    design.clientWidthTwips = 3630; // 242 x 140 pixels
    design.clientHeightTwips = 2100;
    design.style = WS_POPUP | WS_CLIPCHILDREN;
    design.exStyle = WS_EX_TOOLWINDOW; // no taskbar button of its own
    design.background = RGB(255, 255, 255);
    return design;
}

// The caption buttons and the answer buttons share font, draw mode and colour.
ButtonDesign DialogButton() {
    ButtonDesign design;
    design.AutoSize = false;
    design.cFont = DefaultFont(); // 宋体, 9 points, GB2312
    design.cDrawMode = kCopyPen;
    design.cForeColor = kButtonTextColour;
    return design;
}

PropertyBag AnswerButtonDesign(const std::wstring& caption) {
    ButtonDesign design = DialogButton();
    // 225 x 22 pixels: three frames of 75 x 22, stretched to the 65 x 25 button.
    design.BackPicture = PictureRef{PictureRef::Kind::Bitmap, IDB_ANSWER_BUTTON}.ToText();
    design.Caption = caption;
    PropertyBag bag;
    WriteButtonDesign(bag, design);
    return bag;
}

PropertyBag CloseButtonDesign() {
    PropertyBag bag;
    WriteButtonDesign(bag, DialogButton()); // its skin is set when the dialog loads
    return bag;
}

PropertyBag BarDesign() {
    BFormDesign design;
    design.BackColor = Rgb(222, 222, 222);
    PropertyBag bag;
    WriteBFormDesign(bag, design, [] {});
    return bag;
}

} // namespace

MsgFrm::MsgFrm(bool& bExit, MsgFrmTexts texts)
    : Form(DialogDesign(texts.caption))
    , m_bExit(bExit)
    , texts_(std::move(texts))
    , surface_(kWhite)
    , Label1_(kWhite) {
    BForm1_.MouseDown.Connect([this](int&, int&, float&, float&) {
        // The bar's own move request goes nowhere (its frmHwnd is 0): the
        // dialog is dragged by the bar with any button.
        ReleaseCapture();
        SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    });
    iButton1_.Click.Connect([this] { Answer(true); });
    iButton2_.Click.Connect([this] { Answer(false); });
    closebtn_.Click.Connect([this] { Answer(false); });
}

MsgFrm::~MsgFrm() {
    Destroy();
}

void MsgFrm::Answer(bool exit) {
    m_bExit = exit;
    Close();
}

void MsgFrm::OnLoad() {
    keysDown_.reset();
    heldKeys_ = MessageFilter(hwnd(), [this](MSG& msg) { return IgnoresKey(msg); });
    surface_.Attach(hwnd());
    closebtn_.Create(hwnd(), 2880, 15, 645, 270);
    closebtn_.ReadProperties(CloseButtonDesign());
    BForm1_.Create(hwnd(), 0, 0, 4575, 495);
    BForm1_.ReadProperties(BarDesign());
    iButton1_.Create(hwnd(), 840, 1320, 975, 375);
    iButton1_.ReadProperties(AnswerButtonDesign(texts_.yes));
    iButton2_.Create(hwnd(), 2040, 1320, 975, 375);
    iButton2_.ReadProperties(AnswerButtonDesign(texts_.no));
    Label1_.Create(hwnd(), 360, 840, 3135, 615);
    Label1_.SetCaption(texts_.question);

    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    BForm1_.Move(0, 0, PixelsToTwips(outer.right - outer.left), BForm1_.Height());
    // The main window's close button skin: 129 x 18, three frames of 43 x 18.
    closebtn_.SetBackPicture(Picture::LoadBitmapResource(IDB_CAPTION_CLOSE));
    BForm1_.SetCaption(texts_.caption);
    Layout();
}

void MsgFrm::OnShow() {
    // Enter answers Yes at once; Tab moves on to No and the close button.
    SetFocus(iButton1_.hwnd());
}

void MsgFrm::OnResize() {
    // Sizes sent while the window is still being made come before the controls.
    if (!surface_.window() || !closebtn_.IsCreated()) return;
    surface_.Resize();
    Layout();
}

void MsgFrm::Layout() {
    RECT client{};
    GetClientRect(hwnd(), &client);
    // One pixel more each way: the region's right and bottom edges are outside it.
    RectRgn(hwnd(), static_cast<short>(client.right + 1), static_cast<short>(client.bottom + 1), 4,
            4);
    BForm1_.Printform(surface_);
    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    closebtn_.Move(PixelsToTwips(outer.right - outer.left) - kCloseFromRight, closebtn_.Top(),
                   closebtn_.Width(), closebtn_.Height());
}

LRESULT MsgFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // The surface paints every pixel; an erase first would flicker.
    if (message == WM_ERASEBKGND && surface_.window()) return 1;
    return Form::HandleMessage(message, wParam, lParam);
}

bool MsgFrm::IgnoresKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP) return false;
    const std::size_t key = msg.wParam & 0xFF;
    if (msg.message == WM_KEYDOWN) {
        // Bit 30: the key was already down before this message.
        const bool repeat = (msg.lParam & (LPARAM{1} << 30)) != 0;
        if (!repeat) keysDown_.set(key);
        return !keysDown_.test(key);
    }
    const bool seen = keysDown_.test(key);
    keysDown_.reset(key);
    return !seen;
}

void MsgFrm::OnDestroyed() {
    heldKeys_.reset();
    surface_.Detach();
    Form::OnDestroyed();
}

} // namespace tessaly::win
