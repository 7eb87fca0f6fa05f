#include <windows.h>

#include "controls/MsgFrm_win.h"
#include "WinTestSupport_win.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;
using namespace tessaly::test;

namespace {

// Steps that run one after another inside the dialog's modal loop, from a
// thread timer, as a player's actions would arrive there. A step made with
// WhenReady waits, tick after tick (for at most three seconds), until what
// it needs has happened.
struct Step {
    // Implicit: steps are written as plain lambdas.
    template <class Action>
    Step(Action what)
        : action(std::move(what)) {}
    std::function<void()> action;
    std::function<bool()> ready = [] { return true; };
};

Step WhenReady(std::function<bool()> ready, std::function<void()> action) {
    Step step(std::move(action));
    step.ready = std::move(ready);
    return step;
}

std::deque<Step> g_steps;
int g_waited = 0;

void CALLBACK NextStep(HWND, UINT, UINT_PTR id, DWORD) {
    if (g_steps.empty()) {
        KillTimer(nullptr, id);
        return;
    }
    if (!g_steps.front().ready() && ++g_waited < 100) return;
    g_waited = 0;
    const Step step = std::move(g_steps.front());
    g_steps.pop_front();
    step.action();
}

void RunSteps(std::vector<Step> steps) {
    g_steps.assign(steps.begin(), steps.end());
    g_waited = 0;
    SetTimer(nullptr, 0, 30, &NextStep);
}

void PostClick(HWND window) {
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

void Inject(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT Key(WORD key, bool up = false) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT Mouse(DWORD flags, POINT at = {}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags | (flags & MOUSEEVENTF_MOVE ? MOUSEEVENTF_ABSOLUTE : 0);
    input.mi.dx = at.x * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
    input.mi.dy = at.y * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
    return input;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT RectInParent(HWND window) {
    RECT rect = WindowRect(window);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// What the host gives the dialog to say.
const MsgFrmTexts kTexts{L"Tessaly客户端", L"窗口即将关闭，确定要退出游戏？", L"是", L"否"};

class MsgFrmWinTest : public ::testing::Test {
protected:
    MsgFrmWinTest() {
        ParkPointer();
        owner.Show();
        Pump();
    }
    ~MsgFrmWinTest() override {
        g_steps.clear();
        owner.Close();
        Pump();
    }
    HostForm owner;
};

} // namespace

TEST_F(MsgFrmWinTest, YesNoAndTheCloseButtonAnswerThroughTheCallersFlag) {
    struct Case {
        iButton& (MsgFrm::*button)();
        bool before;
        bool after;
    };
    for (const Case& c :
         {Case{&MsgFrm::iButton1, false, true}, Case{&MsgFrm::iButton2, true, false},
          Case{&MsgFrm::closebtn, true, false}}) {
        bool m_bExit = c.before;
        MsgFrm dialog(m_bExit, kTexts);
        dialog.Load();
        PostClick((dialog.*c.button)().hwnd());
        dialog.ShowModal(owner.hwnd());
        EXPECT_FALSE(dialog.IsLoaded());
        EXPECT_EQ(m_bExit, c.after);
        EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    }
    // Closed any other way, the flag stays as it was.
    for (bool before : {false, true}) {
        bool m_bExit = before;
        MsgFrm dialog(m_bExit, kTexts);
        dialog.Load();
        PostMessageW(dialog.hwnd(), WM_CLOSE, 0, 0);
        dialog.ShowModal(owner.hwnd());
        EXPECT_EQ(m_bExit, before);
    }
}

TEST_F(MsgFrmWinTest, OpensModallyAsARoundedSkinnedDialog) {
    bool m_bExit = false;
    MsgFrm dialog(m_bExit, kTexts);
    bool checked = false;
    RunSteps({[&] {
        checked = true;
        EXPECT_FALSE(IsWindowEnabled(owner.hwnd()));
        EXPECT_TRUE(dialog.IsVisible());
        EXPECT_EQ(GetFocus(), dialog.iButton1().hwnd());
        const RECT outer = WindowRect(dialog.hwnd());
        EXPECT_EQ(outer.right - outer.left, 242);
        EXPECT_EQ(outer.bottom - outer.top, 140);
        EXPECT_NEAR(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 242) / 2, 1);
        // A rectangle with 4 x 4 rounded corners over the whole client area.
        UniqueRegion shape(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(dialog.hwnd(), shape.get()), ERROR);
        RECT box{};
        GetRgnBox(shape.get(), &box);
        EXPECT_EQ(box.right, 242);
        EXPECT_EQ(box.bottom, 140);
        EXPECT_FALSE(PtInRegion(shape.get(), 0, 0));
        EXPECT_TRUE(PtInRegion(shape.get(), 2, 2));
        EXPECT_FALSE(PtInRegion(shape.get(), 241, 139));
        EXPECT_TRUE(PtInRegion(shape.get(), 239, 137));
        // The bar as wide as the window, the close button 730 twips from its
        // right edge, over the bar; the answer buttons 65 x 25.
        EXPECT_EQ(RectInParent(dialog.BForm1().hwnd()).right, 242);
        EXPECT_EQ(RectInParent(dialog.closebtn().hwnd()).left, 193);
        EXPECT_EQ(WindowFromPoint({outer.left + 200, outer.top + 8}), dialog.closebtn().hwnd());
        EXPECT_EQ(dialog.BForm1().Caption(), kTexts.caption);
        EXPECT_EQ(dialog.Label1().Caption(), kTexts.question);
        EXPECT_EQ(dialog.iButton1().Caption(), kTexts.yes);
        EXPECT_EQ(dialog.iButton2().Caption(), kTexts.no);
        const RECT yes = RectInParent(dialog.iButton1().hwnd());
        EXPECT_EQ(yes.right - yes.left, 65);
        EXPECT_EQ(yes.bottom - yes.top, 25);
        // What shows: the skinned bar at the top, the border at the bottom
        // left, white inside, and the answer skin's face.
        const Screenshot shown(dialog.hwnd());
        EXPECT_EQ(shown.At(1, 138), PixelOf(dialog.surface(), 1, 138));
        EXPECT_EQ(shown.At(100, 70), RGB(255, 255, 255));
        EXPECT_EQ(shown.At(120, 5), PixelOf(dialog.BForm1().surface(), 120, 5));
        EXPECT_EQ(shown.At(56 + 30, 88 + 3), PixelOf(dialog.iButton1().surface(), 30, 3));
        EXPECT_NE(shown.At(56 + 30, 88 + 3), RGB(255, 255, 255));
        // The focused Yes shows the focus rectangle from (3, 3) on its face; No does not.
        int dotted = 0;
        for (int x = 0; x < 65; ++x) {
            EXPECT_EQ(PixelOf(dialog.iButton1().surface(), x, 1),
                      PixelOf(dialog.iButton2().surface(), x, 1));
            dotted += PixelOf(dialog.iButton1().surface(), x, 3) !=
                      PixelOf(dialog.iButton2().surface(), x, 3);
        }
        EXPECT_GT(dotted, 20);
        PostClick(dialog.iButton2().hwnd());
    }});
    dialog.ShowModal(owner.hwnd());
    EXPECT_TRUE(checked);
    EXPECT_FALSE(m_bExit);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

TEST_F(MsgFrmWinTest, EnterOrSpaceOnTheFocusedAnswerButtonActsAsItsClick) {
    bool m_bExit = false;
    {
        MsgFrm dialog(m_bExit, kTexts);
        RunSteps({[] { Inject({Key(VK_RETURN), Key(VK_RETURN, true)}); }});
        dialog.ShowModal(owner.hwnd());
    }
    EXPECT_TRUE(m_bExit);
    {
        // Tab moves the focus on to No.
        MsgFrm dialog(m_bExit, kTexts);
        RunSteps({[] {
                      Inject({Key(VK_TAB), Key(VK_TAB, true)});
                  },
                  WhenReady([&] { return GetFocus() == dialog.iButton2().hwnd(); },
                            [&] {
                                EXPECT_EQ(GetFocus(), dialog.iButton2().hwnd());
                                Inject({Key(VK_RETURN), Key(VK_RETURN, true)});
                            })});
        dialog.ShowModal(owner.hwnd());
    }
    EXPECT_FALSE(m_bExit);
    {
        MsgFrm dialog(m_bExit, kTexts);
        RunSteps({[] { Inject({Key(VK_SPACE), Key(VK_SPACE, true)}); }});
        dialog.ShowModal(owner.hwnd());
    }
    EXPECT_TRUE(m_bExit);
}

TEST_F(MsgFrmWinTest, KeysHeldBeforeItOpenedNeverAnswerIt) {
    bool m_bExit = false, stillOpen = false;
    MsgFrm dialog(m_bExit, kTexts);
    const auto post = [&](UINT message, WPARAM key, LPARAM flags) {
        PostMessageW(dialog.iButton1().hwnd(), message, key, 1 | flags);
    };
    constexpr LPARAM kWasDown = LPARAM{1} << 30, kReleased = LPARAM{3} << 30;
    RunSteps({[&] {
                  post(WM_KEYDOWN, VK_RETURN, kWasDown); // Enter held in the game, repeating
                  post(WM_KEYUP, VK_RETURN, kReleased);
                  post(WM_KEYUP, VK_SPACE, kReleased); // Space released after it opened
              },
              [&] {
                  stillOpen = dialog.IsLoaded();
                  post(WM_KEYDOWN, VK_RETURN, 0); // pressed afresh: Yes
              }});
    dialog.ShowModal(owner.hwnd());
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(m_bExit);
}

TEST_F(MsgFrmWinTest, DraggingTheBarMovesTheDialog) {
    bool m_bExit = true;
    MsgFrm dialog(m_bExit, kTexts);
    bool pressed = false;
    dialog.BForm1().MouseDown.Connect([&](int&, int&, float&, float&) { pressed = true; });
    RECT before{};
    RunSteps({[&] {
                  before = WindowRect(dialog.hwnd());
                  const POINT start{before.left + 100, before.top + 8};
                  SetCursorPos(start.x, start.y);
                  Inject({Mouse(MOUSEEVENTF_LEFTDOWN),
                          Mouse(MOUSEEVENTF_MOVE, {start.x - 30, start.y + 10}),
                          Mouse(MOUSEEVENTF_MOVE, {start.x - 60, start.y + 25}),
                          Mouse(MOUSEEVENTF_LEFTUP)});
              },
              // The move loop has ended once the bar has its MouseDown.
              WhenReady([&] { return pressed; },
                        [&] {
                            const RECT after = WindowRect(dialog.hwnd());
                            EXPECT_EQ(after.left - before.left, -60);
                            EXPECT_EQ(after.top - before.top, 25);
                            PostClick(dialog.closebtn().hwnd());
                        })});
    dialog.ShowModal(owner.hwnd());
    EXPECT_FALSE(m_bExit);
}
