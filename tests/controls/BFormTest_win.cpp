#include <windows.h>

#include "base/Error.h"
#include "controls/BForm_win.h"
#include "resources/ResourceIds.h"
#include "WinTestSupport_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;
using namespace tessaly::test;

namespace {

// A host that draws through a retained surface, as the skinned windows do.
class SurfaceHost : public Form {
public:
    SurfaceHost()
        : Form(Design()) {}
    ~SurfaceHost() override { Destroy(); }
    Surface surface{Rgb(255, 255, 255)};

protected:
    void OnLoad() override { surface.Attach(hwnd()); }
    void OnPaint(HDC dc) override { surface.Paint(dc); }
    void OnDestroyed() override {
        surface.Detach();
        Form::OnDestroyed();
    }

private:
    static FormDesign Design() {
        FormDesign design;
        design.className = L"TessalyBFormTestHost";
        design.clientWidthTwips = 3630; // 242 x 140 pixels
        design.clientHeightTwips = 2100;
        return design;
    }
};

// The frame skin's own pixels, to compare the drawn pieces with.
class Skin {
public:
    Skin()
        : picture_(Picture::LoadBitmapResource(IDB_FRAME_SKIN))
        , dc_(CreateCompatibleDC(nullptr))
        , selection_(dc_.get(), picture_->bitmap()) {}
    COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }

private:
    std::shared_ptr<Picture> picture_;
    UniqueDC dc_;
    Selection selection_;
};

// The bar of a 305-pixel control as the tiling puts the skin: the left cap
// (36 pixels) over 20-pixel tiles from skin column 20, the right cap (skin
// columns 27 on) from 238.
COLORREF ExpectedBar(const Skin& skin, int x, int y) {
    if (x >= 238) return skin.At(27 + x - 238, y);
    if (x < 36) return skin.At(x, y);
    return skin.At(20 + x % 20, y);
}

// The first column of the caption rows where the bar is not plain skin.
int CaptionStart(const BForm& bar, const Skin& skin) {
    for (int x = 0; x < 305; ++x)
        for (int y = 10; y < 24; ++y)
            if (PixelOf(bar.surface(), x, y) != ExpectedBar(skin, x, y)) return x;
    return -1;
}

void Inject(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT MouseInput(DWORD flags, POINT at = {}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = at.x * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
        input.mi.dy = at.y * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
    }
    return input;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

class BFormWinTest : public ::testing::Test {
protected:
    BFormWinTest() {
        ParkPointer();
        host.Show();
        bar.Create(host.hwnd(), 0, 0, 4575, 495);
        Pump();
    }
    ~BFormWinTest() override {
        host.Close();
        Pump();
    }
    SurfaceHost host;
    BForm bar;
    Skin skin;
};

} // namespace

TEST_F(BFormWinTest, TheBarIsTiledFromTheSkinAtItsFixedHeight) {
    RECT client{};
    GetClientRect(bar.hwnd(), &client);
    EXPECT_EQ(client.right, 305);
    EXPECT_EQ(client.bottom, 33);
    bar.Move(0, 0, 4575, 1500);
    GetClientRect(bar.hwnd(), &client);
    EXPECT_EQ(client.bottom, 33);
    for (int y : {0, 2, 9, 30, 32})
        for (int x = 0; x < 305; ++x)
            ASSERT_EQ(PixelOf(bar.surface(), x, y), ExpectedBar(skin, x, y)) << x << "," << y;
    // The caption starts at 10 pixels, or at 40 with room for a logo.
    EXPECT_EQ(bar.Caption(), L"NewForm");
    EXPECT_GE(CaptionStart(bar, skin), 10);
    EXPECT_LT(CaptionStart(bar, skin), 14);
    bar.SetHasLogo(true);
    EXPECT_GE(CaptionStart(bar, skin), 40);
    EXPECT_LT(CaptionStart(bar, skin), 44);
    bar.SetCaption(L"");
    EXPECT_EQ(CaptionStart(bar, skin), -1);
}

TEST_F(BFormWinTest, PrintformClearsTheHostAndDrawsItsBorderFromTheSkin) {
    host.surface.Print(L"scribble", 1500, 1200);
    bar.Printform(host.surface);
    const Surface& drawn = host.surface;
    EXPECT_EQ(PixelOf(drawn, 100, 80), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(drawn, 110, 82), RGB(255, 255, 255));
    // Left edge tiles from y = 20 pixels (skin 0, 53), right edge at 238 (skin 90, 53).
    EXPECT_EQ(PixelOf(drawn, 1, 60), skin.At(1, 53));
    EXPECT_EQ(PixelOf(drawn, 3, 75), skin.At(3, 68));
    EXPECT_EQ(PixelOf(drawn, 239, 60), skin.At(91, 53));
    EXPECT_EQ(PixelOf(drawn, 4, 60), RGB(255, 255, 255)); // 4 pixels wide
    // Bottom tiles at y = 136 (skin 20, 81) and the corners over them.
    EXPECT_EQ(PixelOf(drawn, 125, 137), skin.At(25, 82));
    EXPECT_EQ(PixelOf(drawn, 10, 139), skin.At(10, 84));
    EXPECT_EQ(PixelOf(drawn, 230, 138), skin.At(82, 83));
    EXPECT_EQ(PixelOf(drawn, 241, 136), skin.At(93, 81));
    EXPECT_EQ(PixelOf(drawn, 100, 135), RGB(255, 255, 255));
}

TEST_F(BFormWinTest, BackColorIsTheDecimalTextOfTheColourAndRefusesOtherText) {
    EXPECT_EQ(bar.BackColor(), L"14346732");
    std::vector<std::wstring> changed;
    bar.PropertyChanged.Connect([&](std::wstring_view name) { changed.emplace_back(name); });
    bar.SetBackColor(L" 0014606046");
    EXPECT_EQ(bar.BackColor(), L"14606046");
    EXPECT_EQ(bar.surface().BackColor(), Rgb(222, 222, 222));
    int number = 0;
    try {
        bar.SetBackColor(L"浅灰");
    } catch (const Error& e) {
        number = e.number();
    }
    EXPECT_EQ(number, error::kTypeMismatch);
    EXPECT_EQ(bar.BackColor(), L"14606046");
    EXPECT_EQ(changed, (std::vector<std::wstring>{L"BackColor"}));
}

TEST_F(BFormWinTest, PressesOtherThanALeftDragRaiseMouseDownAtOnceAndMoveNothing) {
    std::vector<int> pressed;
    bar.MouseDown.Connect([&](int& button, int&, float&, float&) { pressed.push_back(button); });
    int doubles = 0;
    bar.DblClick.Connect([&] { ++doubles; });
    const RECT before = WindowRect(host.hwnd());
    SendMessageW(bar.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 10));
    SendMessageW(bar.hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(50, 10));
    SendMessageW(bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 10)); // frmHwnd 0
    SendMessageW(bar.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 10));
    SendMessageW(bar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(50, 10));
    EXPECT_EQ(pressed, (std::vector<int>{2, 1}));
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(WindowRect(host.hwnd()).left, before.left);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(BFormWinTest, ALeftPressDragsTheWindowAndMouseDownFollowsTheMove) {
    bar.SetfrmHwnd(host.hwnd());
    const RECT before = WindowRect(host.hwnd());
    LONG leftAtMouseDown = 0;
    bar.MouseDown.Connect(
        [&](int&, int&, float&, float&) { leftAtMouseDown = WindowRect(host.hwnd()).left; });
    const POINT start{before.left + 150, before.top + 10};
    const POINT end{start.x + 40, start.y + 30};
    SetCursorPos(start.x, start.y);
    Pump(20);
    Inject({MouseInput(MOUSEEVENTF_LEFTDOWN),
            MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, {start.x + 20, start.y + 15}),
            MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, end),
            MouseInput(MOUSEEVENTF_LEFTUP)});
    EXPECT_TRUE(PumpUntil([&] { return leftAtMouseDown != 0; }));
    const RECT after = WindowRect(host.hwnd());
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 30);
    EXPECT_EQ(leftAtMouseDown, after.left);
}
