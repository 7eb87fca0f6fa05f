#include <windows.h>

#include "winplumb/EntryPoints_win.h"
#include "winplumb/cFormSubclass_win.h"
#include "winplumb/cSetStyle_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;

namespace {

// A window whose own procedure notes what reached it.
struct Target {
    static inline std::vector<std::pair<UINT, WPARAM>> seen;
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message >= WM_APP || message == WM_SYSCOMMAND) seen.emplace_back(message, wParam);
        if (message == WM_APP) return 7;
        if (message == WM_SYSCOMMAND) return 0; // the command is seen, not carried out
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    Target() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TessalySubclassTarget";
        RegisterClassExW(&wc);
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 100, 100, 1000, 700,
                               nullptr, nullptr, wc.hInstance, nullptr);
        seen.clear();
    }
    ~Target() { DestroyWindow(hwnd); }
    WNDPROC procedure() const {
        return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    }
    HWND hwnd;
};

} // namespace

TEST(FormSubclass, ReportsEveryMessageOnceBeforeAndLetsHandlersChangeIt) {
    Target target;
    int before = 0, after = 0;
    {
        cFormSubclass subclass;
        subclass.MsgCome.Connect([&](bool phase, bool& handled, LRESULT& result, HWND&,
                                     UINT& message, WPARAM& wParam, LPARAM&) {
            (phase ? before : after) += message == WM_APP ? 1 : 0;
            if (phase && message == WM_APP && wParam == 1) wParam = 42; // the window sees 42
            if (phase && message == WM_APP + 1) {
                handled = true;
                result = 99;
            }
        });
        EXPECT_TRUE(subclass.AddWindowMsgs(target.hwnd));
        EXPECT_EQ(SendMessageW(target.hwnd, WM_APP, 1, 0), 7);
        EXPECT_EQ(SendMessageW(target.hwnd, WM_APP + 1, 0, 0), 99);
        EXPECT_FALSE(subclass.DeleteWindowMsg(target.hwnd)); // does nothing
        EXPECT_EQ(SendMessageW(target.hwnd, WM_APP, 2, 0), 7);
        EXPECT_EQ(before, 2);
        EXPECT_EQ(after, 0);
        EXPECT_EQ(Target::seen, (std::vector<std::pair<UINT, WPARAM>>{{WM_APP, 42}, {WM_APP, 2}}));
    }
    // Gone with the object: the window's own procedure is back.
    EXPECT_EQ(target.procedure(), &Target::Procedure);
    SendMessageW(target.hwnd, WM_APP, 1, 0);
    EXPECT_EQ(before, 2);
}

TEST(FormSubclass, AHookWithAnotherInFrontStepsOutWithoutCuttingItOff) {
    Target target;
    int outer = 0;
    auto inner = std::make_unique<cFormSubclass>();
    inner->AddWindowMsgs(target.hwnd);
    cFormSubclass front;
    front.MsgCome.Connect([&](bool, bool&, LRESULT&, HWND&, UINT& message, WPARAM&, LPARAM&) {
        outer += message == WM_APP;
    });
    front.AddWindowMsgs(target.hwnd);
    inner.reset(); // released first while the other is in front of it
    EXPECT_EQ(SendMessageW(target.hwnd, WM_APP, 0, 0), 7);
    EXPECT_EQ(outer, 1);
}

TEST(SetStyle, BorderlessWithCloseCommandAndSettingChanges) {
    Target target;
    SetWindowLongPtrW(target.hwnd, GWL_STYLE, WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN);
    cSetStyle style;
    int closes = 0, settings = 0;
    style.SettingChange.Connect([&] { ++settings; });
    style.set_objForm(target.hwnd);
    style.SetWindowStyle(target.hwnd);
    // Windows adds WS_CLIPSIBLINGS to every top-level window by itself; the
    // pages stay clipped out of the body's painting.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(target.hwnd, GWL_STYLE)) &
                  ~(WS_VISIBLE | WS_CLIPSIBLINGS),
              0xA0000u | WS_CLIPCHILDREN);
    // Nobody listens: the window closes the ordinary way.
    SendMessageW(target.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(Target::seen.size(), 1u);
    // The owner's close command asks; the window's own procedure does not
    // carry the command out as well.
    style.CloseClick.Connect([&] { ++closes; });
    SendMessageW(target.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    SendMessageW(target.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(Target::seen, (std::vector<std::pair<UINT, WPARAM>>{{WM_SYSCOMMAND, SC_CLOSE},
                                                                  {WM_SYSCOMMAND, SC_MINIMIZE}}));
    SendMessageW(target.hwnd, WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(settings, 1);
}

TEST(SetStyle, ACloseClickHandlerMayCloseTheWindowAndReleaseTheStyle) {
    const std::size_t entries = EntryPoints::InUse();
    for (const bool windowFirst : {true, false}) {
        Target target;
        auto style = std::make_unique<cSetStyle>();
        style->SetWindowStyle(target.hwnd);
        std::size_t entriesInside = 0;
        int later = 0;
        style->CloseClick.Connect([&] {
            if (windowFirst) DestroyWindow(target.hwnd);
            style.reset();
            if (!windowFirst) DestroyWindow(target.hwnd);
            entriesInside = EntryPoints::InUse();
        });
        style->CloseClick.Connect([&] { ++later; });
        EXPECT_EQ(SendMessageW(target.hwnd, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
        EXPECT_FALSE(IsWindow(target.hwnd));
        EXPECT_EQ(later, 0);
        // The hook stayed while its call was on the stack, and went after it.
        EXPECT_EQ(entriesInside, entries + 1) << windowFirst;
        EXPECT_EQ(EntryPoints::InUse(), entries) << windowFirst;
        EXPECT_TRUE(Target::seen.empty());
    }
}

TEST(SetStyle, TheEdgePointerStaysOverTheSizingBandOnly) {
    Target target;
    cSetStyle style;
    POINT pointer{};
    style.CursorPosition = [&] { return pointer; };
    style.set_objForm(target.hwnd);
    style.SetWindowStyle(target.hwnd);
    MoveWindow(target.hwnd, 100, 100, 1000, 700, FALSE);
    const HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20,
                                       target.hwnd, nullptr, nullptr, nullptr);
    const auto setCursor = [&](HWND over) {
        return SendMessageW(target.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(over),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    pointer = {1097, 500};
    EXPECT_EQ(setCursor(target.hwnd), TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZEWE));
    pointer = {102, 797};
    EXPECT_EQ(setCursor(target.hwnd), TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZENESW));
    EXPECT_EQ(setCursor(child), FALSE); // a child covering the band keeps its own pointer
    pointer = {600, 500};
    EXPECT_EQ(setCursor(target.hwnd), FALSE); // inside: the window's own procedure decides
    style.CallWindowStateChange();
    pointer = {0, 300};
    EXPECT_EQ(setCursor(target.hwnd), FALSE); // maximised: no band
}

TEST(FormSubclass, AHandlerMayReleaseTheSubclassEvenWithAnotherHookInFront) {
    const std::size_t entries = EntryPoints::InUse();
    Target target;
    auto subclass = std::make_unique<cFormSubclass>();
    subclass->MsgCome.Connect(
        [&](bool, bool& handled, LRESULT& result, HWND&, UINT& message, WPARAM&, LPARAM&) {
            if (message != WM_APP) return;
            subclass.reset();
            handled = true;
            result = 3;
        });
    subclass->AddWindowMsgs(target.hwnd);
    cFormSubclass front; // installed later: the released hook cannot step out
    front.AddWindowMsgs(target.hwnd);
    EXPECT_EQ(SendMessageW(target.hwnd, WM_APP, 0, 0), 3);
    EXPECT_EQ(SendMessageW(target.hwnd, WM_APP, 0, 0), 7); // it only passes messages on now
    EXPECT_EQ(EntryPoints::InUse(), entries + 2);
    DestroyWindow(target.hwnd); // it goes with the window
    EXPECT_EQ(EntryPoints::InUse(), entries + 1);
}

TEST(SetStyle, MaximiseFillsTheWorkAreaAndRestoresTheSavedPlace) {
    Target target;
    cSetStyle style;
    style.set_objForm(target.hwnd);
    style.SetWindowStyle(target.hwnd);
    MoveWindow(target.hwnd, 40, 30, 900, 650, FALSE);
    EXPECT_TRUE(style.CallWindowStateChange());
    RECT work{}, rect{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(target.hwnd, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, work.bottom); // the band below the work area stays free
    EXPECT_FALSE(style.CallWindowStateChange());
    GetWindowRect(target.hwnd, &rect);
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(rect.right - rect.left, 900);
    EXPECT_EQ(rect.bottom - rect.top, 650);
}

TEST(SetStyle, ADragMovesOnlyOutlinesAndResizesOnceAtTheRelease) {
    Target target;
    cSetStyle style;
    POINT pointer{};
    style.CursorPosition = [&] { return pointer; };
    std::vector<int> zones;
    style.MouseSize.Connect([&](int zone) { zones.push_back(zone); });
    style.set_objForm(target.hwnd);
    style.SetWindowStyle(target.hwnd);
    MoveWindow(target.hwnd, 100, 100, 1000, 700, FALSE);
    int sizes = 0;
    cFormSubclass counter; // notes every WM_SIZE the window gets
    counter.MsgCome.Connect([&](bool, bool&, LRESULT&, HWND&, UINT& message, WPARAM&, LPARAM&) {
        sizes += message == WM_SIZE;
    });
    counter.AddWindowMsgs(target.hwnd);

    pointer = {1097, 500}; // over the right edge
    SendMessageW(target.hwnd, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(zones, (std::vector<int>{kRight}));
    SendMessageW(target.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_TRUE(style.dragging());
    EXPECT_EQ(GetCapture(), target.hwnd); // the drag goes on outside the window
    for (const int x : {1200, 950, 900, 901, 880}) {
        pointer = {x, 500};
        SendMessageW(target.hwnd, WM_MOUSEMOVE, MK_LBUTTON, 0);
    }
    EXPECT_EQ(sizes, 0);
    RECT rect{};
    GetWindowRect(target.hwnd, &rect);
    EXPECT_EQ(rect.right, 1100); // unchanged until the release
    SendMessageW(target.hwnd, WM_LBUTTONUP, 0, 0);
    GetWindowRect(target.hwnd, &rect);
    EXPECT_EQ(rect.right, 901); // the last outline wider than 800
    EXPECT_EQ(sizes, 1);
    EXPECT_FALSE(style.dragging());
    EXPECT_EQ(GetCapture(), nullptr);

    style.CallWindowStateChange(); // maximised: no zones, no drag
    zones.clear();
    pointer = {0, 300};
    SendMessageW(target.hwnd, WM_MOUSEMOVE, 0, 0);
    SendMessageW(target.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_TRUE(zones.empty());
    EXPECT_FALSE(style.dragging());
}
