#include <windows.h>

#include "base/ErrorLog.h"
#include "winplumb/CSubclass_win.h"
#include "winplumb/EntryPoints_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;

namespace {

constexpr UINT kAsk = WM_APP;
constexpr UINT kOther = WM_APP + 1;
constexpr UINT kThird = WM_APP + 2;

// What the windows' own procedure saw; it answers WM_APP + n with 1000 + n.
std::vector<UINT> g_seen;
int g_leaves = 0;

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP && message < WM_APP + 100) {
        g_seen.push_back(message);
        return 1000 + (message - WM_APP);
    }
    if (message == WM_MOUSELEAVE) ++g_leaves;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeWindow(DWORD style = WS_POPUP) {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TessalySubclassTest";
        return RegisterClassW(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    return CreateWindowExW(0, L"TessalySubclassTest", L"", style, 0, 0, 50, 50, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

WNDPROC ProcOf(HWND hwnd) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
}

void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(5);
    }
}

// Pumps until the condition holds or the time is up; false on time-out.
bool PumpUntil(const std::function<bool()>& done, DWORD ms = 3000) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(5);
    }
    return true;
}

// Lets records that earlier tests ended reach their release: returns the
// number of entry points in use once it has held still for a while.
std::size_t SettledEntries() {
    std::size_t last = EntryPoints::InUse();
    DWORD since = GetTickCount();
    const DWORD start = since;
    while (GetTickCount() - since < 250 && GetTickCount() - start < 3000) {
        PumpFor(10);
        if (EntryPoints::InUse() != last) {
            last = EntryPoints::InUse();
            since = GetTickCount();
        }
    }
    return last;
}

// Collects what the subclasser writes to the error log.
class LogCapture {
public:
    LogCapture()
        : previous_(SetErrorSink([this](std::wstring_view t) { lines.emplace_back(t); })) {}
    ~LogCapture() { SetErrorSink(previous_); }
    std::vector<std::wstring> lines;

private:
    ErrorSink previous_;
};

struct Seen {
    bool before;
    UINT message;
    friend bool operator==(const Seen&, const Seen&) = default;
};

class Subclassed : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen.clear();
        window = MakeWindow();
        original = ProcOf(window);
        sub.WindowProc.Connect([this](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND hwnd,
                                      UINT uMsg, WPARAM, LPARAM, LPARAM& lParamUser) {
            if (uMsg >= WM_APP || uMsg == WM_NCDESTROY) events.push_back({bBefore, uMsg});
            if (handler) handler(bBefore, bHandled, lReturn, hwnd, uMsg, lParamUser);
        });
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
    }

    HWND window = nullptr;
    WNDPROC original = nullptr;
    std::vector<Seen> events;
    std::function<void(bool, bool&, LRESULT&, HWND, UINT, LPARAM&)> handler;
    CSubclass sub;
};

} // namespace

TEST_F(Subclassed, ABeforeHandlerThatAnswersKeepsTheMessageFromThePreviousProcedure) {
    ASSERT_TRUE(sub.ssc_Subclass(window));
    sub.ssc_AddMsg(window, ALL_MESSAGES, CSubclass::MSG_BEFORE);
    handler = [](bool, bool& bHandled, LRESULT& lReturn, HWND, UINT uMsg, LPARAM&) {
        EXPECT_FALSE(bHandled);
        EXPECT_EQ(lReturn, 0);
        if (uMsg == kAsk) {
            bHandled = true;
            lReturn = 42;
        }
    };
    EXPECT_EQ(SendMessageW(window, kAsk, 0, 0), 42);
    EXPECT_EQ(SendMessageW(window, kOther, 0, 0), 1001);
    EXPECT_EQ(g_seen, std::vector<UINT>{kOther});
    EXPECT_EQ(events, (std::vector<Seen>{{true, kAsk}, {true, kOther}}));
}

TEST_F(Subclassed, AnAfterHandlerSeesThePreviousResultAndReplacesIt) {
    ASSERT_TRUE(sub.ssc_Subclass(window, 5));
    sub.ssc_AddMsg(window, kAsk, CSubclass::MSG_AFTER);
    sub.ssc_AddMsg(window, kOther, CSubclass::MSG_BEFORE);
    handler = [](bool bBefore, bool& bHandled, LRESULT& lReturn, HWND, UINT uMsg,
                 LPARAM& lParamUser) {
        EXPECT_EQ(lParamUser, 5);
        if (!bBefore && uMsg == kAsk) {
            EXPECT_EQ(g_seen.back(), kAsk); // the previous procedure ran first
            EXPECT_EQ(lReturn, 1000);
            lReturn = 7;
            bHandled = true; // no effect after the fact
        }
    };
    EXPECT_EQ(SendMessageW(window, kAsk, 0, 0), 7);
    EXPECT_EQ(SendMessageW(window, kOther, 0, 0), 1001); // before only: passes on, no after event
    EXPECT_EQ(SendMessageW(window, kThird, 0, 0), 1002); // in no table: no event
    EXPECT_EQ(events, (std::vector<Seen>{{false, kAsk}, {true, kOther}}));
    EXPECT_EQ(g_seen, (std::vector<UINT>{kAsk, kOther, kThird}));
    EXPECT_EQ(sub.ssc_CallOrigWndProc(window, kThird, 0, 0), 1002);
    EXPECT_EQ(events.size(), 2u);
}

TEST_F(Subclassed, HandlersMayChangeTheUserValueAndMayNotLetExceptionsOut) {
    LogCapture log;
    ASSERT_TRUE(sub.ssc_Subclass(window, 1));
    sub.ssc_AddMsg(window, kAsk, CSubclass::MSG_BEFORE_AFTER);
    handler = [](bool bBefore, bool&, LRESULT&, HWND, UINT, LPARAM& lParamUser) {
        lParamUser += 10;
        if (!bBefore) throw std::runtime_error("handler failed");
    };
    EXPECT_EQ(SendMessageW(window, kAsk, 0, 0), 1000);
    EXPECT_EQ(sub.zGet_lParamUser(window), 21);
    sub.zSet_lParamUser(window, 3);
    EXPECT_EQ(sub.zGet_lParamUser(window), 3);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find(L"handler failed"), std::wstring::npos);
}

TEST_F(Subclassed, UnSubclassEndsAtTheNextMessageAndFreesTheRecordLater) {
    const std::size_t inUse = SettledEntries();
    ASSERT_TRUE(sub.ssc_Subclass(window));
    sub.ssc_AddMsg(window, ALL_MESSAGES, CSubclass::MSG_BEFORE_AFTER);
    EXPECT_NE(ProcOf(window), original);
    EXPECT_EQ(EntryPoints::InUse(), inUse + 1);
    sub.ssc_UnSubclass(window);
    EXPECT_NE(ProcOf(window), original); // still in place until a message completes
    EXPECT_EQ(SendMessageW(window, kAsk, 0, 0), 1000);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(ProcOf(window), original);
    EXPECT_EQ(EntryPoints::InUse(), inUse + 1); // released by the timer, not on the stack
    EXPECT_TRUE(PumpUntil([&] { return EntryPoints::InUse() == inUse; }));
    // Subclassing anew makes a new record.
    EXPECT_TRUE(sub.ssc_Subclass(window));
    sub.ssc_AddMsg(window, kAsk, CSubclass::MSG_BEFORE);
    SendMessageW(window, kAsk, 0, 0);
    EXPECT_EQ(events, (std::vector<Seen>{{true, kAsk}}));
}

TEST_F(Subclassed, AnEndInsideNestedCallsWaitsForTheOutermostToReturn) {
    ASSERT_TRUE(sub.ssc_Subclass(window));
    sub.ssc_AddMsg(window, kAsk, CSubclass::MSG_BEFORE_AFTER);
    sub.ssc_AddMsg(window, kOther, CSubclass::MSG_BEFORE);
    WNDPROC duringOuter = nullptr;
    handler = [&](bool bBefore, bool&, LRESULT&, HWND hwnd, UINT uMsg, LPARAM&) {
        if (bBefore && uMsg == kAsk) {
            // Re-entered: the nested message is reported the same way.
            EXPECT_EQ(SendMessageW(hwnd, kOther, 0, 0), 1001);
            duringOuter = ProcOf(hwnd);
        }
        if (uMsg == kOther) sub.ssc_UnSubclass(hwnd);
    };
    EXPECT_EQ(SendMessageW(window, kAsk, 0, 0), 1000);
    EXPECT_NE(duringOuter, original); // the nested call had ended, the outer one had not
    EXPECT_EQ(ProcOf(window), original);
    // The outer message's after phase was not reported: the subclass had ended.
    EXPECT_EQ(events, (std::vector<Seen>{{true, kAsk}, {true, kOther}}));
    EXPECT_EQ(g_seen, (std::vector<UINT>{kOther, kAsk}));
}

TEST_F(Subclassed, AWindowDestroyedInsideAHandlerIsReportedThenForgottenSilently) {
    const std::size_t inUse = SettledEntries();
    const HWND other = MakeWindow();
    ASSERT_TRUE(sub.ssc_Subclass(other)); // so the map is not empty afterwards
    ASSERT_TRUE(sub.ssc_Subclass(window));
    sub.ssc_AddMsg(window, kAsk, CSubclass::MSG_BEFORE);
    sub.ssc_AddMsg(window, WM_NCDESTROY, CSubclass::MSG_BEFORE_AFTER);
    handler = [](bool bBefore, bool&, LRESULT&, HWND hwnd, UINT uMsg, LPARAM&) {
        if (bBefore && uMsg == kAsk) DestroyWindow(hwnd);
    };
    SendMessageW(window, kAsk, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(events,
              (std::vector<Seen>{{true, kAsk}, {true, WM_NCDESTROY}, {false, WM_NCDESTROY}}));
    {
        LogCapture log;
        EXPECT_EQ(sub.zGet_lParamUser(window), 0);
        sub.ssc_AddMsg(window, kOther, CSubclass::MSG_BEFORE);
        EXPECT_TRUE(log.lines.empty());
    }
    EXPECT_TRUE(PumpUntil([&] { return EntryPoints::InUse() == inUse + 1; }));
    DestroyWindow(other);
    EXPECT_TRUE(PumpUntil([&] { return EntryPoints::InUse() == inUse; }));
}

TEST_F(Subclassed, AnOwnerDestroyedWithItsWindowInsideAHandlerIsNeverReachedAgain) {
    // The owner lives in storage of the test's own, which is scribbled over
    // once it has gone: a record still reaching it would crash.
    alignas(CSubclass) unsigned char storage[sizeof(CSubclass)];
    auto* owner = new (storage) CSubclass;
    ASSERT_TRUE(owner->ssc_Subclass(window));
    owner->ssc_AddMsg(window, ALL_MESSAGES, CSubclass::MSG_BEFORE_AFTER);
    int later = 0;
    owner->WindowProc.Connect(
        [&](bool bBefore, bool&, LRESULT&, HWND hwnd, UINT uMsg, WPARAM, LPARAM, LPARAM&) {
            if (!bBefore || uMsg != kAsk) return;
            DestroyWindow(hwnd);
            owner->~CSubclass();
            for (std::size_t i = 0; i < sizeof storage; ++i)
                storage[i] = static_cast<unsigned char>(i * 37 + 1);
        });
    owner->WindowProc.Connect([&](bool, bool&, LRESULT&, HWND, UINT uMsg, WPARAM, LPARAM, LPARAM&) {
        later += uMsg == kAsk;
    });
    SendMessageW(window, kAsk, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(later, 0); // nothing reached the owner after it went
}

TEST_F(Subclassed, TheOwnerGoingEndsEverySubclassItMade) {
    const HWND second = MakeWindow();
    const WNDPROC secondOriginal = ProcOf(second);
    {
        CSubclass brief;
        int calls = 0;
        brief.WindowProc.Connect(
            [&](bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LPARAM&) { ++calls; });
        ASSERT_TRUE(brief.ssc_Subclass(window));
        ASSERT_TRUE(brief.ssc_Subclass(second));
        brief.ssc_AddMsg(window, ALL_MESSAGES, CSubclass::MSG_BEFORE);
        brief.ssc_AddMsg(second, ALL_MESSAGES, CSubclass::MSG_BEFORE);
        SendMessageW(window, kAsk, 0, 0);
        EXPECT_GT(calls, 0);
    }
    // The records no longer reach the owner that has gone.
    EXPECT_EQ(SendMessageW(window, kAsk, 0, 0), 1000);
    EXPECT_EQ(SendMessageW(second, kAsk, 0, 0), 1000);
    EXPECT_EQ(ProcOf(window), original);
    EXPECT_EQ(ProcOf(second), secondOriginal);
    DestroyWindow(second);
}

TEST_F(Subclassed, RefusalsAndMissesAreLoggedWithTheirTexts) {
    LogCapture log;
    CSubclass fresh;
    fresh.zGet_lParamUser(window);
    EXPECT_FALSE(fresh.ssc_Subclass(nullptr));
    const HWND gone = MakeWindow();
    DestroyWindow(gone);
    EXPECT_FALSE(fresh.ssc_Subclass(gone));
    EXPECT_FALSE(fresh.ssc_Subclass(GetDesktopWindow()));
    EXPECT_FALSE(fresh.ssc_Subclass(window, 0, 2));
    ASSERT_TRUE(fresh.ssc_Subclass(window));
    EXPECT_FALSE(fresh.ssc_Subclass(window));
    fresh.ssc_AddMsg(gone, kAsk, CSubclass::MSG_BEFORE);
    fresh.ssc_UnSubclass(gone); // silent
    for (UINT m = 1; m <= 33; ++m)
        fresh.ssc_AddMsg(window, WM_APP + m, CSubclass::MSG_AFTER);
    EXPECT_EQ(log.lines,
              (std::vector<std::wstring>{
                  L"CSubclass.zMap_VFunction: Thunk hasn't been initialized",
                  L"CSubclass.ssc_Subclass: Invalid window handle",
                  L"CSubclass.ssc_Subclass: Invalid window handle",
                  L"CSubclass.ssc_Subclass: Window handle belongs to another process",
                  L"CSubclass.ssc_Subclass: Callback method not found",
                  L"CSubclass.ssc_Subclass: Window handle is already subclassed",
                  L"CSubclass.zMap_VFunction: Thunk type for  does not exist",
                  L"CSubclass.zAddMsg: Message table overflow. Either increase the value of Const "
                  L"MSG_ENTRIES or use ALL_MESSAGES instead of specific message values",
              }));
    // The first subclass still works.
    int calls = 0;
    fresh.WindowProc.Connect(
        [&](bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LPARAM&) { ++calls; });
    SendMessageW(window, WM_APP + 32, 0, 0);
    SendMessageW(window, WM_APP + 33, 0, 0);
    EXPECT_EQ(calls, 1);
}

TEST_F(Subclassed, RunningOutOfEntryPointsIsAnAllocationFailure) {
    struct Idle : EntryRecord {
        LRESULT Procedure(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    } idle;
    LogCapture log;
    std::vector<WNDPROC> taken;
    while (WNDPROC entry = EntryPoints::Acquire(&idle))
        taken.push_back(entry);
    EXPECT_FALSE(sub.ssc_Subclass(window));
    for (WNDPROC entry : taken)
        EntryPoints::Release(entry);
    EXPECT_EQ(log.lines,
              std::vector<std::wstring>{L"CSubclass.ssc_Subclass: VirtualAlloc failed, error: 8"});
    EXPECT_EQ(ProcOf(window), original);
}

TEST(SubclassUnicode, TheFlagTellsWhichInterfaceMadeTheWindow) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = "TessalySubclassAnsi";
    RegisterClassA(&wc);
    const HWND ansi = CreateWindowExA(0, "TessalySubclassAnsi", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
    const HWND wide = MakeWindow();
    const HWND third = MakeWindow();
    CSubclass sub;
    bool ansiUnicode = true, wideUnicode = true, unasked = false;
    ASSERT_TRUE(sub.ssc_Subclass(ansi, 0, 1, false, ansiUnicode, false));
    ASSERT_TRUE(sub.ssc_Subclass(wide, 0, 1, false, wideUnicode, false));
    ASSERT_TRUE(sub.ssc_Subclass(third, 0, 1, false, unasked, false));
    EXPECT_FALSE(ansiUnicode);
    EXPECT_TRUE(wideUnicode);
    EXPECT_FALSE(unasked);
    // Texts still cross an 8-bit window intact with the wide procedure in front.
    sub.ssc_AddMsg(ansi, ALL_MESSAGES, CSubclass::MSG_BEFORE);
    std::wstring seen;
    sub.WindowProc.Connect(
        [&](bool, bool&, LRESULT&, HWND, UINT uMsg, WPARAM, LPARAM lParam, LPARAM&) {
            if (uMsg == WM_SETTEXT) seen = reinterpret_cast<const wchar_t*>(lParam);
        });
    SetWindowTextA(ansi, "caption");
    char back[32]{};
    GetWindowTextA(ansi, back, sizeof back);
    EXPECT_STREQ(back, "caption");
    EXPECT_EQ(seen, L"caption");
    DestroyWindow(ansi);
    DestroyWindow(wide);
    DestroyWindow(third);
}

TEST(SubclassMouse, TrackingReportsThePointerLeavingOnce) {
    g_leaves = 0;
    const HWND window = MakeWindow(WS_POPUP | WS_VISIBLE);
    SetCursorPos(20, 20);
    PumpFor(100);
    CSubclass sub;
    sub.TrackMouseTracking(window);
    PumpFor(100);
    EXPECT_EQ(g_leaves, 0);
    SetCursorPos(600, 600);
    EXPECT_TRUE(PumpUntil([] { return g_leaves > 0; }));
    PumpFor(200);
    EXPECT_EQ(g_leaves, 1);
    DestroyWindow(window);
}
