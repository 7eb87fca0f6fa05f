#include "e2e/ClientProcess_win.h"

#include "support/Input_win.h"
#include "tabstrip/TabGeometry.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::e2e;
using namespace tessaly::test;

namespace {

constexpr UINT kTrayMessage = 0x1862;
constexpr UINT kUpdateCommand = 4; // appmenu's "更新"

// The login page loads, one of its frames tries to hand over server 9, and
// the page itself hands over server 1 a few seconds later, as a player would
// log in. Each game page completes and takes its title; server 2's page asks
// for two windows, one of them no web page.
constexpr wchar_t kJourney[] = LR"(on /client/
  complete 2000
  framenavigate app://loadgame|{origin}/game/9.html
  wait 3000
  navigate app://loadgame|{origin}/game/1.html
on /game/1.html
  complete 1800
  title 翡翠山谷
on /game/2.html
  complete 1800
  title 霜岩要塞
  newwindow javascript:alert(1)
  newwindow {origin}/game/3.html
)";

// Runs tessaly-open with the arguments; its exit code.
DWORD SendAddress(const std::wstring& arguments) {
    const std::wstring exe = BuiltFile(TESSALY_OPEN_RELATIVE);
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &si, &pi))
        return 255;
    win::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    if (WaitForSingleObject(process.get(), 20000) != WAIT_OBJECT_0) return 254;
    DWORD code = 255;
    GetExitCodeProcess(process.get(), &code);
    return code;
}

std::vector<HWND> Descendants(HWND parent, const wchar_t* className) {
    struct Search {
        const wchar_t* name;
        std::vector<HWND> found;
    } search{className, {}};
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM param) {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t name[64] = {};
            GetClassNameW(hwnd, name, 64);
            if (std::wstring_view(name) == s->name) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Direct children of the window of this size in pixels, left to right.
std::vector<HWND> ChildrenSized(HWND parent, int width, int height) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        if (r.right - r.left == width && r.bottom - r.top == height) found.push_back(child);
    }
    std::sort(found.begin(), found.end(), [](HWND a, HWND b) {
        RECT ra{}, rb{};
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.left < rb.left;
    });
    return found;
}

// Whether the notification area holds the window's icon: modifying nothing
// succeeds only for an icon that is there.
bool HasTrayIcon(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 1000;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// The centre of tab `index`'s close glyph on the screen (style 1 strip, left
// reserve 10, tabs at their full width).
POINT CloseGlyphOf(HWND strip, int index) {
    const TabStyleMetrics& m = MetricsOf(1);
    RECT r{};
    GetWindowRect(strip, &r);
    const int left = 10 + m.firstLeft + index * (m.fixedWidth + m.gap);
    return {r.left + left + m.fixedWidth - m.glyphFromRight + kGlyphSize / 2,
            r.top + m.glyphTop + kGlyphSize / 2};
}

// As ClickAt, pressing twice within the double-click time.
void DoubleClickAt(POINT at) {
    ClickAt(at);
    INPUT press[2]{};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, press, sizeof(INPUT));
}

// Whether the client's keyboard focus is in this window or one inside it.
bool FocusIn(HWND main, HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) return false;
    return info.hwndFocus && (info.hwndFocus == window || IsChild(window, info.hwndFocus));
}

class MainWindow : public ::testing::Test {
protected:
    Installation installation{"version=1.1.0\r\n"};

    ClientOptions Options(const wchar_t* answers = L"no") const {
        ClientOptions options = installation.Options(answers);
        options.browserScript = kJourney;
        return options;
    }
    static HWND WaitForMainWindow(const LiveClient& client) {
        HWND main = nullptr;
        WaitUntil([&] { return (main = client.Window(L"TessalyWebMainFrm", true)) != nullptr; },
                  20000);
        return main;
    }
    static std::vector<HWND> Pages(HWND main) { return Descendants(main, L"TessalyWebUrl"); }
    static HWND SelectedPage(HWND main) {
        for (HWND page : Pages(main))
            if (IsWindowVisible(page)) return page;
        return nullptr;
    }
    // The exit dialog's answer buttons are its 65 x 25 children: Yes, then No.
    static void AnswerExitDialog(const LiveClient& client, bool yes) {
        HWND dialog = nullptr;
        ASSERT_TRUE(
            WaitUntil([&] { return (dialog = client.Window(L"TessalyMsgFrm", true)) != nullptr; }));
        const std::vector<HWND> answers = ChildrenSized(dialog, 65, 25);
        ASSERT_EQ(answers.size(), 2u);
        ClickCentreOf(answers[yes ? 0 : 1]);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
        if (yes) return;
        // Asked once: no second question follows the answer.
        EXPECT_FALSE(
            WaitUntil([&] { return client.Window(L"TessalyMsgFrm", true) != nullptr; }, 700));
    }
};

} // namespace

TEST_F(MainWindow, TheWholeJourneyFromLoginToExit) {
    LiveClient client(Options());
    ASSERT_TRUE(client.started());
    HWND main = WaitForMainWindow(client);
    ASSERT_TRUE(main);

    // The hand-over: the login pair has gone, the window fills the work area
    // (the taskbar stays visible) and shows one tab.
    RECT work{}, rect{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(main, &rect);
    EXPECT_EQ(rect.left, work.left);
    EXPECT_EQ(rect.top, work.top);
    EXPECT_EQ(rect.right, work.right);
    EXPECT_EQ(rect.bottom, work.bottom);
    EXPECT_FALSE(client.Window(L"TessalyLoginFrm"));
    ASSERT_TRUE(WaitUntil([&] { return Pages(main).size() == 1 && SelectedPage(main); }));
    EXPECT_TRUE(HasTrayIcon(main));
    // The player's first click comes once the window is in front and has settled.
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));
    Sleep(500);

    // The frame's hand-over did nothing: the one tab is the page's own server.
    EXPECT_EQ(SendAddress(L"https://game.tessaly.example/game/1.html"), 0u);
    Sleep(300);
    EXPECT_EQ(Pages(main).size(), 1u);

    // "Log in with another account" brings the login window back; handing
    // over the same server again keeps one tab.
    const std::vector<HWND> links = ChildrenSized(main, 99, 22);
    ASSERT_EQ(links.size(), 1u);
    const auto logInAgain = [&] {
        ClickCentreOf(links[0]);
        return WaitUntil([&] { return client.Window(L"TessalyLoginFrm", true) != nullptr; });
    };
    ASSERT_TRUE(logInAgain()) << "the login window did not come back";
    EXPECT_TRUE(WaitUntil([&] { return !client.Window(L"TessalyLoginFrm"); }))
        << "the login window did not hand over";
    EXPECT_EQ(Pages(main).size(), 1u);

    // Switching accounts: while the login window is up the player closes the
    // game (Yes), then logs in; the window that opens again asks again.
    ASSERT_TRUE(logInAgain());
    const std::vector<HWND> oldClose = ChildrenSized(main, 43, 18);
    ASSERT_EQ(oldClose.size(), 1u);
    ClickCentreOf(oldClose[0]);
    AnswerExitDialog(client, true);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(main); }));
    ASSERT_TRUE(client.Window(L"TessalyLoginFrm"))
        << "the login page handed over before the close was confirmed";
    main = WaitForMainWindow(client);
    ASSERT_TRUE(main);
    ASSERT_TRUE(WaitUntil([&] { return Pages(main).size() == 1 && SelectedPage(main); }));
    const HWND first = SelectedPage(main);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));
    Sleep(500);

    // Minimised, another program sends server 2: the window comes back with
    // its tab, and server 2's page opens server 3 as a tab of its own (its
    // other window is no web page and opens nothing). What is not a web
    // address opens nothing either.
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }));
    EXPECT_EQ(SendAddress(L"javascript:alert(1)"), 2u);
    EXPECT_EQ(SendAddress(L"http://127.0.0.1/game/2.html"), 0u);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main) && Pages(main).size() == 3; }));
    EXPECT_TRUE(WaitUntil([&] { return SelectedPage(main) && SelectedPage(main) != first; }));
    // The same server again, in other letters, only selects its tab.
    EXPECT_EQ(SendAddress(L"HTTP://127.0.0.1/GAME/2.HTML"), 0u);
    Sleep(300);
    EXPECT_EQ(Pages(main).size(), 3u);

    // A click on the first tab shows its page, and the keys go to it.
    const std::vector<HWND> strips = Descendants(main, L"Kestrel.uTab");
    ASSERT_EQ(strips.size(), 1u);
    ClickAt({CloseGlyphOf(strips[0], 0).x - 120, CloseGlyphOf(strips[0], 0).y});
    EXPECT_TRUE(WaitUntil([&] { return SelectedPage(main) == first && FocusIn(main, first); }));

    // F10 hides the window (no taskbar button) and keeps the tray icon; a
    // right click on the icon opens the menu while hidden; F10 shows it again.
    PressKey(VK_F10);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    EXPECT_TRUE(HasTrayIcon(main));
    PostMessageW(main, kTrayMessage, 1000, WM_RBUTTONUP);
    HWND menu = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (menu = client.Window(L"#32768", true)) != nullptr; }));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !client.Window(L"#32768", true); }));
    PressKey(VK_F10);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));

    // A log-off the player agreed to and another program then cancelled
    // leaves the window asking on its next close.
    SendNotifyMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    AnswerExitDialog(client, true);
    SendNotifyMessageW(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    Sleep(300);

    // The close button asks once; No keeps everything. The menu's exit too.
    const std::vector<HWND> closeButton = ChildrenSized(main, 43, 18);
    ASSERT_EQ(closeButton.size(), 1u);
    ClickCentreOf(closeButton[0]);
    AnswerExitDialog(client, false);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(Pages(main).size(), 3u);
    const std::vector<HWND> toolAndMin = ChildrenSized(main, 24, 18); // web_tool, then web_min
    ASSERT_EQ(toolAndMin.size(), 2u);
    ClickCentreOf(toolAndMin[0]);
    ASSERT_TRUE(WaitUntil([&] { return client.Window(L"#32768", true) != nullptr; }));
    PressKey(VK_UP); // from no item to the last: "退出"
    PressKey(VK_RETURN);
    AnswerExitDialog(client, false);

    // A double click on a close glyph closes that one tab, not the one that
    // moves in under the pointer; a click on the next closes it; the last
    // tab's glyph asks instead, and No keeps it.
    DoubleClickAt(CloseGlyphOf(strips[0], 0));
    EXPECT_TRUE(WaitUntil([&] { return Pages(main).size() == 2; }));
    Sleep(700);
    EXPECT_EQ(Pages(main).size(), 2u);
    EXPECT_FALSE(client.Window(L"TessalyMsgFrm", true));
    ClickAt(CloseGlyphOf(strips[0], 1));
    EXPECT_TRUE(WaitUntil([&] { return Pages(main).size() == 1; }));
    ClickAt(CloseGlyphOf(strips[0], 0));
    AnswerExitDialog(client, false);
    EXPECT_EQ(Pages(main).size(), 1u);

    // Yes closes the window, the tray icon goes, F10 is free again, and with
    // no login window open the client ends.
    ClickCentreOf(closeButton[0]);
    AnswerExitDialog(client, true);
    EXPECT_TRUE(client.WaitForExit(10000));
    EXPECT_EQ(client.ExitCode(), 0u);
    EXPECT_FALSE(HasTrayIcon(main));
    EXPECT_TRUE(RegisterHotKey(nullptr, 1, 0, VK_F10));
    UnregisterHotKey(nullptr, 1);
    EXPECT_EQ(SendAddress(L"http://127.0.0.1/game/3.html"), 1u);
}

TEST_F(MainWindow, AnAcceptedUpdateFromTheMenuEndsTheProcessWithoutAskingEvenWithTheLoginOpen) {
    Installation newer{"version=1.2.0\r\n"};
    ClientOptions options = newer.Options(L"no,yes");
    options.browserScript = kJourney;
    LiveClient client(options);
    const HWND main = WaitForMainWindow(client);
    ASSERT_TRUE(main);
    // "Log in with another account": the login pair is open beside the game,
    // and would hand over to a main window again a few seconds later.
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));
    Sleep(500);
    ClickCentreOf(ChildrenSized(main, 99, 22).at(0));
    ASSERT_TRUE(WaitUntil([&] { return client.Window(L"TessalyLoginFrm", true) != nullptr; }));

    PostMessageW(main, WM_COMMAND, kUpdateCommand, 0);
    bool dialogSeen = false;
    EXPECT_TRUE(WaitUntil([&] {
        dialogSeen = dialogSeen || client.Window(L"TessalyMsgFrm", true);
        return client.WaitForExit(0);
    })) << "the process outlived the accepted update";
    EXPECT_FALSE(dialogSeen);
    EXPECT_EQ(client.ExitCode(), 0u);
    EXPECT_FALSE(HasTrayIcon(main));
    const std::vector<std::wstring> log = client.Log();
    // Declined at start-up, accepted from the menu; the updater is started.
    ASSERT_EQ(log.size(), 3u);
    EXPECT_TRUE(log[0].starts_with(L"message\t")) << log[0];
    EXPECT_TRUE(log[1].starts_with(L"message\t")) << log[1];
    EXPECT_TRUE(log[2].starts_with(L"start\t")) << log[2];
    EXPECT_NE(log[2].find(L"Update.exe"), std::wstring::npos) << log[2];
}
