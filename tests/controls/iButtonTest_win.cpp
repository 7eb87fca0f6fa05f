#include <windows.h>

#include "base/Units.h"
#include "controls/iButton_win.h"
#include "resources/ResourceIds.h"
#include "WinTestSupport_win.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;
using namespace tessaly::test;

namespace {

constexpr COLORREF kRed = RGB(200, 0, 0), kGreen = RGB(0, 200, 0), kBlue = RGB(0, 0, 200);
constexpr COLORREF kMagenta = RGB(255, 0, 255), kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class ButtonWinTest : public ::testing::Test {
protected:
    ButtonWinTest() {
        ParkPointer();
        host.Show();
        Pump();
    }
    ~ButtonWinTest() override {
        host.Close();
        Pump();
    }

    // A button at (15, 15) pixels of the host, sized in pixels.
    void Place(iButton& button, int width, int height) {
        button.Create(host.hwnd(), 225, 225, width * 15, height * 15);
    }
    static SIZE SizeOf(const iButton& button) {
        RECT rect{};
        GetClientRect(button.hwnd(), &rect);
        return {rect.right, rect.bottom};
    }
    // The face's colour in the middle of the button, for each look.
    static std::vector<COLORREF> Looks(iButton& button) {
        std::vector<COLORREF> looks;
        const SIZE size = SizeOf(button);
        for (int state = 0; state < 4; ++state) {
            button.cMouseAction(state, true);
            looks.push_back(PixelOf(button.surface(), size.cx / 2, size.cy / 2));
        }
        return looks;
    }

    HostForm host;
};

} // namespace

TEST_F(ButtonWinTest, EachStateShowsItsFrameAndAnAutoSizedButtonKeepsOneFramesSize) {
    iButton button;
    int outs = 0;
    button.MouseOut.Connect([&] { ++outs; });
    Place(button, 100, 50);
    button.SetBackPicture(MakeStrip({kRed, kGreen, kBlue}, 24, 18));
    EXPECT_EQ(SizeOf(button).cx, 24);
    EXPECT_EQ(SizeOf(button).cy, 18);
    // Normal, hover, pressed; the disabled slot lies beyond the skin: a new, black frame.
    EXPECT_EQ(Looks(button), (std::vector<COLORREF>{kRed, kGreen, kBlue, kBlack}));
    button.Move(0, 0, 3000, 3000);
    EXPECT_EQ(SizeOf(button).cx, 24);
    EXPECT_EQ(button.Width(), 360);

    button.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(button.hwnd()));
    // The first poll tick leaves a disabled button disabled-looking.
    EXPECT_TRUE(PumpUntil([&] { return outs == 1; }));
    EXPECT_EQ(button.ShownState(), kStateDisabled);
    EXPECT_EQ(PixelOf(button.surface(), 12, 9), kBlack);

    // Not auto-sized: the host's size stays and the frame is stretched over it.
    button.SetEnabled(true);
    button.SetAutoSize(false);
    button.Move(225, 225, 900, 450);
    EXPECT_EQ(SizeOf(button).cx, 60);
    button.cMouseAction(kStateHover, true);
    EXPECT_EQ(PixelOf(button.surface(), 0, 0), kGreen);
    EXPECT_EQ(PixelOf(button.surface(), 59, 29), kGreen);
}

TEST_F(ButtonWinTest, AToggleShowsItsOnRowAndADisabledOffToggleTheFirstOnFrame) {
    const COLORREF on0 = RGB(10, 10, 10), on1 = RGB(20, 20, 20), on2 = RGB(30, 30, 30);
    iButton button;
    Place(button, 25, 18);
    button.SetStyle(1);
    button.SetBackPicture(MakeStrip({kRed, kGreen, kBlue, on0, on1, on2}, 25, 18));
    EXPECT_EQ(SizeOf(button).cx, 25);
    EXPECT_EQ(Looks(button), (std::vector<COLORREF>{kRed, kGreen, kBlue, on0}));
    button.SetValue(true);
    // Slot 6, the on row's disabled look, is beyond a six-frame skin.
    EXPECT_EQ(Looks(button), (std::vector<COLORREF>{on0, on1, on2, kBlack}));
}

TEST_F(ButtonWinTest, ASkinNarrowerThanThreeFramesIsCutInFourPixelFramesAndStretched) {
    // 13 x 22: each column its own colour, so the stretched frame shows which
    // columns it was cut from.
    std::vector<PixelPatch> columns;
    for (int x = 0; x < 13; ++x)
        for (int y = 0; y < 22; ++y)
            columns.push_back({x, y, RGB(x * 10, 100, 0)});
    iButton button;
    Place(button, 65, 25);
    button.SetAutoSize(false);
    button.SetBackPicture(MakeStrip({kBlack}, 13, 22, columns));
    EXPECT_EQ(button.FrameWidth(), 4);
    EXPECT_EQ(button.FrameHeight(), 22);
    button.cMouseAction(kStateHover, true); // slot 1: columns 4 to 7
    EXPECT_EQ(PixelOf(button.surface(), 0, 12), RGB(40, 100, 0));
    EXPECT_EQ(PixelOf(button.surface(), 64, 12), RGB(70, 100, 0));
    // The link buttons' background, 13 x 22, loads from the resources.
    button.SetBackPicture(Picture::LoadBitmapResource(IDB_LINK_BUTTON_BG));
    ASSERT_TRUE(button.BackPicture());
    EXPECT_EQ(button.FrameWidth(), 4);
}

TEST_F(ButtonWinTest, LockedShowsThePressedFaceWhileOnlyThePressedStateMovesTheCaption) {
    iButton button;
    Place(button, 65, 25);
    button.SetAutoSize(false);
    button.SetcForeColor(Rgb(0, 0, 0));
    button.SetCaption(L"否");
    button.SetBackPicture(MakeStrip({kRed, kGreen, kWhite}, 20, 20));
    button.SetLocked(true);
    // The caption's pixels on the white pressed face, whatever the state.
    auto inked = [&](int state) {
        button.cMouseAction(state, true);
        EXPECT_EQ(PixelOf(button.surface(), 0, 0), kWhite);
        std::set<std::pair<int, int>> ink;
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 65; ++x)
                if (PixelOf(button.surface(), x, y) != kWhite) ink.insert({x, y});
        return ink;
    };
    const auto hover = inked(kStateHover), normal = inked(kStateNormal),
               pressed = inked(kStatePressed);
    ASSERT_FALSE(hover.empty());
    EXPECT_EQ(hover, normal);
    std::set<std::pair<int, int>> moved;
    for (auto [x, y] : hover)
        moved.insert({x + 1, y + 1});
    EXPECT_EQ(pressed, moved);
}

TEST_F(ButtonWinTest, TheTransparentStyleShowsItsParentWhereTheSkinIsMagenta) {
    // Each 24 x 18 frame blue with a magenta top-left corner of 4 x 4.
    std::vector<PixelPatch> corners;
    for (int frame = 0; frame < 3; ++frame)
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                corners.push_back({frame * 24 + x, y, kMagenta});
    const auto skin = MakeStrip({kBlue, kBlue, kBlue}, 24, 18, corners);

    iButton button;
    Place(button, 24, 18);
    button.SetcBackStyle(0);
    button.SetBackPicture(skin);
    Pump(20);
    UniqueRegion shape(CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(GetWindowRgn(button.hwnd(), shape.get()), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(shape.get(), 1, 1));
    EXPECT_TRUE(PtInRegion(shape.get(), 5, 1));
    EXPECT_TRUE(PtInRegion(shape.get(), 12, 9));
    const Screenshot shown(host.hwnd());
    EXPECT_EQ(shown.At(15 + 1, 15 + 1), RGB(0, 160, 0)); // the host's own colour
    EXPECT_EQ(shown.At(15 + 12, 15 + 9), kBlue);

    // Not auto-sized: the stretched frame is the mask, corners 8 x 8 at double size.
    button.SetAutoSize(false);
    button.Move(225, 225, 720, 540);
    Pump(20);
    ASSERT_EQ(GetWindowRgn(button.hwnd(), shape.get()), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(shape.get(), 7, 7));
    EXPECT_TRUE(PtInRegion(shape.get(), 8, 7));
    const Screenshot stretched(host.hwnd());
    EXPECT_EQ(stretched.At(15 + 6, 15 + 6), RGB(0, 160, 0));
    EXPECT_EQ(stretched.At(15 + 30, 15 + 20), kBlue);

    // Opaque again: the whole window.
    button.SetcBackStyle(1);
    EXPECT_EQ(GetWindowRgn(button.hwnd(), shape.get()), ERROR);
}

TEST_F(ButtonWinTest, TheFocusRectangleOfA65By25ButtonRunsFrom3To62And22) {
    iButton button;
    Place(button, 65, 25);
    button.SetAutoSize(false);
    button.SetBackPicture(MakeStrip({kWhite, kWhite, kWhite}, 20, 20));
    std::vector<COLORREF> before;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 65; ++x)
            before.push_back(PixelOf(button.surface(), x, y));
    SetFocus(button.hwnd());
    ASSERT_EQ(GetFocus(), button.hwnd());
    RECT changed{65, 25, -1, -1};
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 65; ++x)
            if (PixelOf(button.surface(), x, y) != before[static_cast<std::size_t>(y * 65 + x)]) {
                changed.left = std::min<LONG>(changed.left, x);
                changed.top = std::min<LONG>(changed.top, y);
                changed.right = std::max<LONG>(changed.right, x + 1);
                changed.bottom = std::max<LONG>(changed.bottom, y + 1);
            }
    EXPECT_EQ(changed.left, 3);
    EXPECT_EQ(changed.top, 3);
    EXPECT_EQ(changed.right, 62);
    EXPECT_EQ(changed.bottom, 22);
    // Losing the focus repaints it away.
    SetFocus(host.hwnd());
    EXPECT_EQ(PixelOf(button.surface(), 3, 3), kWhite);
}

TEST_F(ButtonWinTest, ThePlatformsMessagesReachTheButtonAsItsEvents) {
    iButton button;
    Place(button, 40, 20);
    std::vector<std::string> seen;
    button.MouseDown.Connect([&](int& b, int&, float& x, float&) {
        seen.push_back("MouseDown" + std::to_string(b) + "@" + std::to_string(int(x)));
    });
    button.MouseUp.Connect(
        [&](int& b, int&, float&, float&) { seen.push_back("MouseUp" + std::to_string(b)); });
    button.Click.Connect([&] { seen.push_back("Click"); });
    button.DBClick.Connect([&] { seen.push_back("DBClick"); });
    button.KeyDown.Connect(
        [&](int& key, int&) { seen.push_back("KeyDown" + std::to_string(key)); });
    button.KeyPress.Connect(
        [&](int& ascii) { seen.push_back("KeyPress" + std::to_string(ascii)); });
    const HWND b = button.hwnd();
    // A press takes neither the activation nor the keyboard focus: the page
    // below keeps them.
    const HWND before = GetFocus();
    EXPECT_EQ(SendMessageW(b, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(GetParent(b)),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(GetFocus(), before);
    EXPECT_NE(GetFocus(), b);
    SendMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageW(b, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageW(b, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(b, WM_CHAR, L'\r', 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"MouseDown1@75", "MouseUp1", "Click", "DBClick",
                                              "MouseUp1", "KeyDown13", "Click", "KeyPress13"}));
}

TEST_F(ButtonWinTest, ThePointerHoversAndTheLeavePollEndsInOneMouseOut) {
    iButton button;
    int overs = 0, outs = 0;
    button.MouseOver.Connect([&] { ++overs; });
    button.MouseOut.Connect([&] { ++outs; });
    Place(button, 40, 20);
    button.SetBackPicture(MakeStrip({kRed, kGreen, kBlue}, 40, 20));
    // Created away from the pointer: one MouseOut, then quiet.
    EXPECT_TRUE(PumpUntil([&] { return outs == 1; }));
    Pump(120);
    EXPECT_EQ(outs, 1);

    const POINT centre = CentreOf(button.hwnd());
    SetCursorPos(centre.x, centre.y);
    SendMessageW(button.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));
    EXPECT_EQ(overs, 1);
    EXPECT_EQ(PixelOf(button.surface(), 20, 10), kGreen);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    Pump(120);
    EXPECT_EQ(outs, 1); // still over it
    ParkPointer();
    EXPECT_TRUE(PumpUntil([&] { return outs == 2; }));
    EXPECT_EQ(PixelOf(button.surface(), 20, 10), kRed);
}

TEST_F(ButtonWinTest, ADesignIsStoredAndReadBackAndItsSkinCutAtTheFirstShowing) {
    iButton designed;
    Place(designed, 65, 25);
    designed.SetAutoSize(false);
    designed.SetBackPicture(Picture::LoadBitmapResource(IDB_ANSWER_BUTTON));
    designed.SetCaption(L"是");
    designed.SetcFont(FontDesc{L"宋体", 10, true, false, false, false, kGb2312Charset});
    designed.SetcForeColor(Rgb(1, 2, 3));
    designed.SetcDrawMode(7);
    PropertyBag bag;
    designed.WriteProperties(bag);
    EXPECT_EQ(bag.ReadText(L"BackPicture", L""), L"bitmap:203");

    // Read into a hidden button: stored as they are, nothing cut or painted yet.
    HostForm hidden;
    hidden.Load();
    iButton read;
    read.Create(hidden.hwnd(), 0, 0, 975, 375);
    const COLORREF background = PixelOf(read.surface(), 30, 12);
    read.ReadProperties(PropertyBag::Parse(bag.Serialize()));
    PropertyBag again;
    read.WriteProperties(again);
    EXPECT_EQ(again.Serialize(), bag.Serialize());
    EXPECT_EQ(PixelOf(read.surface(), 30, 12), background);
    hidden.Show();
    UpdateWindow(read.hwnd());
    EXPECT_EQ(PixelOf(read.surface(), 30, 2), PixelOf(designed.surface(), 30, 2));
    EXPECT_NE(PixelOf(read.surface(), 30, 2), background);
    hidden.Close();
}

TEST_F(ButtonWinTest, TheIconSitsLeftOfTheCaptionFromTheNextRepaintOnAndOnlyWhenOpaque) {
    iButton button;
    Place(button, 80, 22); // 1200 twips wide
    button.SetAutoSize(false);
    button.SetBackPicture(MakeStrip({kWhite, kWhite, kWhite}, 20, 22));
    button.SetcForeColor(Rgb(0, 0, 0));
    button.SetCaption(L"登录游戏");
    const auto leftmost = [&](COLORREF colour) {
        for (int x = 0; x < 80; ++x)
            if (PixelOf(button.surface(), x, 2) == colour) return x;
        return -1;
    };
    button.SetIcon(MakeStrip({kRed}, 16, 16)); // 423 HIMETRIC: 240 twips of layout
    EXPECT_EQ(leftmost(kRed), -1);             // not before the next repaint
    button.cMouseAction(kStateNormal, true);
    const int textWidth = button.surface().TextWidth(L"登录游戏");
    EXPECT_EQ(leftmost(kRed), TwipsToPixels(600 - textWidth / 2.0 - 120));
    button.SetcBackStyle(0);
    EXPECT_EQ(leftmost(kRed), -1);
}
