#include <windows.h>

#include "app/LoadFrm_win.h"
#include "app/LoginFrm_win.h"
#include "app/ScriptedBrowserView_win.h"
#include "app/Texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;

namespace {

const std::wstring kLogin = L"http://127.0.0.1:9/client/";

class RecordingPlatform : public Platform {
public:
    std::vector<std::wstring> messages;
    bool IsOnline() override { return true; }
    MessageAnswer ShowMessage(const Message& message) override {
        messages.push_back(message.text);
        return MessageAnswer::Ok;
    }
    bool Open(const std::wstring&, const std::wstring&) override { return true; }
    bool Start(const std::wstring&, const std::wstring&, const std::wstring&) override {
        return true;
    }
};

void Pump() {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

class LoginFrmTest : public ::testing::Test {
protected:
    LoginFrmTest() {
        config.loginPage = kLogin;
        login.Load();
        Pump();
    }
    ~LoginFrmTest() override {
        login.background().Close();
        Pump();
    }

    ScriptedBrowser& page() { return *browser; }
    void CompleteLoginPage(long long length = 2000) {
        page().PlayDocumentComplete(kLogin, kLogin, length);
        Pump();
    }

    RecordingPlatform platform;
    Config config;
    std::vector<std::wstring> handedOver;
    int splashClosed = 0;
    int ended = 0;
    bool sessionOpen = false;
    ScriptedBrowser* browser = nullptr;
    LoginFrm login{{platform, config, [this](const std::wstring& a) { handedOver.push_back(a); },
                    [this] { ++splashClosed; }, [this] { ++ended; },
                    [this](HWND container) {
                        auto view =
                            std::make_unique<ScriptedBrowserView>(container, BrowserScript{});
                        browser = view.get();
                        return view;
                    },
                    [this] { return sessionOpen; }}};
};

} // namespace

TEST_F(LoginFrmTest, LoadsThePairHiddenAndNavigatesToTheLoginPage) {
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(page().navigations(), (std::vector<std::wstring>{kLogin}));
    EXPECT_TRUE(login.background().IsLoaded());
    EXPECT_FALSE(login.IsVisible());
    EXPECT_FALSE(login.background().IsVisible());
    // The browser is larger than its container, which cuts its border away.
    EXPECT_EQ(page().placement().left, -1);
    EXPECT_EQ(page().placement().width, 751);
    EXPECT_TRUE(page().contextMenuSuppressed()); // the login page shows no menu
    // Content: colour-keyed, owned by the background; the background carries the icons.
    EXPECT_TRUE(GetWindowLongPtrW(login.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    COLORREF key = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(login.hwnd(), &key, nullptr, &flags);
    EXPECT_EQ(key, LoginFrm::kSeeThrough);
    EXPECT_TRUE(flags & LWA_COLORKEY);
    EXPECT_EQ(GetWindow(login.hwnd(), GW_OWNER), login.background().hwnd());
    EXPECT_NE(SendMessageW(login.background().hwnd(), WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_NE(SendMessageW(login.background().hwnd(), WM_GETICON, ICON_BIG, 0), 0);
    // Its picture is decoded when it shows, not while the splash waits.
    EXPECT_FALSE(login.background().canvas().bitmap);
}

TEST_F(LoginFrmTest, OnlyTheTopLevelCompletionShowsThePairOverTheBackground) {
    page().PlayDownloadBegin();
    EXPECT_TRUE(page().silent());
    page().PlayDocumentComplete(kLogin + L"frame.html", kLogin, 2000);
    Pump();
    EXPECT_FALSE(login.IsVisible());
    EXPECT_EQ(splashClosed, 0);
    CompleteLoginPage();
    EXPECT_TRUE(login.background().IsVisible());
    EXPECT_TRUE(login.IsVisible());
    EXPECT_EQ(splashClosed, 1);
    const RECT back = WindowRect(login.background().hwnd()), front = WindowRect(login.hwnd());
    EXPECT_EQ(front.left, back.left);
    EXPECT_EQ(front.top, back.top);
    EXPECT_EQ(front.right - front.left, 1237);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(LoginFrmTest, ContentFollowsTheBackgroundPixelForPixel) {
    CompleteLoginPage();
    for (const POINT to : {POINT{10, 20}, POINT{37, 3}, POINT{-5, 11}}) {
        SetWindowPos(login.background().hwnd(), nullptr, to.x, to.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        const RECT front = WindowRect(login.hwnd());
        EXPECT_EQ(front.left, to.x);
        EXPECT_EQ(front.top, to.y);
    }
}

TEST_F(LoginFrmTest, AnEmptyPageOrNoPageInTimeEndsWithTheConnectionMessage) {
    CompleteLoginPage(99);
    EXPECT_EQ(platform.messages, (std::vector<std::wstring>{texts::kNoConnection}));
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(login.IsVisible());
}

TEST_F(LoginFrmTest, TheWaitForThePageIsBounded) {
    SendMessageW(login.hwnd(), WM_TIMER, 1, 0); // the wait's timer fires
    Pump();
    EXPECT_EQ(platform.messages, (std::vector<std::wstring>{texts::kNoConnection}));
    EXPECT_EQ(ended, 1);
}

TEST_F(LoginFrmTest, MinimiseCommandAndButtonHideBothWindows) {
    CompleteLoginPage();
    EXPECT_FALSE(page().PlayNavigation(L"http://127.0.0.1:9/client/?then=app://minimize"));
    Pump();
    EXPECT_TRUE(IsIconic(login.background().hwnd()));
    EXPECT_FALSE(IsWindowVisible(login.hwnd()));
    ShowWindow(login.background().hwnd(), SW_RESTORE);
    Pump();
    EXPECT_TRUE(IsWindowVisible(login.hwnd()));
    SendMessageW(login.miniButton().hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(login.miniButton().hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_TRUE(IsIconic(login.background().hwnd()));
}

TEST_F(LoginFrmTest, ExitCommandClosesThePairAfterTheEventReturns) {
    CompleteLoginPage();
    EXPECT_FALSE(page().PlayNavigation(L"app://exitgame"));
    EXPECT_TRUE(login.IsLoaded()); // not from inside the browser's event
    Pump();
    EXPECT_FALSE(login.IsLoaded());
    EXPECT_FALSE(login.background().IsLoaded());
    EXPECT_TRUE(handedOver.empty());
}

TEST_F(LoginFrmTest, HandOverClosesThePairAndPassesTheAddressBetweenTheBars) {
    CompleteLoginPage();
    EXPECT_FALSE(page().PlayNavigation(L"app://loadgame|http://127.0.0.1:9/game/2.html|tail"));
    Pump();
    EXPECT_EQ(handedOver, (std::vector<std::wstring>{L"http://127.0.0.1:9/game/2.html"}));
    EXPECT_FALSE(login.IsLoaded());
    EXPECT_FALSE(login.background().IsLoaded());
}

TEST_F(LoginFrmTest, AHandOverWithoutAnAddressIsIgnored) {
    CompleteLoginPage();
    EXPECT_FALSE(page().PlayNavigation(L"app://loadgame"));
    Pump();
    EXPECT_TRUE(handedOver.empty());
    EXPECT_TRUE(login.IsVisible());
}

TEST_F(LoginFrmTest, TheCloseButtonClosesThePair) {
    CompleteLoginPage();
    SendMessageW(login.closeButton().hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(login.closeButton().hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_FALSE(login.IsLoaded());
    EXPECT_FALSE(login.background().IsLoaded());
}

TEST_F(LoginFrmTest, APageThatLeavesBeforeItCompletesTakesTheSplashWithIt) {
    EXPECT_FALSE(page().PlayNavigation(L"app://exitgame"));
    Pump();
    EXPECT_FALSE(login.background().IsLoaded());
    EXPECT_EQ(splashClosed, 1);

    login.Load();
    Pump();
    EXPECT_FALSE(page().PlayNavigation(L"app://loadgame|http://127.0.0.1:9/game/1.html"));
    Pump();
    EXPECT_EQ(handedOver, (std::vector<std::wstring>{L"http://127.0.0.1:9/game/1.html"}));
    EXPECT_FALSE(login.IsLoaded());
    EXPECT_EQ(splashClosed, 2);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(LoginFrmTest, ThePairLoadsShowsFollowsAndClosesAgainAfterItClosed) {
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(page().navigations(), (std::vector<std::wstring>{kLogin})) << round;
        CompleteLoginPage();
        ASSERT_TRUE(login.background().IsVisible()) << round;
        EXPECT_TRUE(login.IsVisible()) << round;
        EXPECT_EQ(login.background().canvas().width, 1237) << round;
        SetWindowPos(login.background().hwnd(), nullptr, 21 + round, 13, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        EXPECT_EQ(WindowRect(login.hwnd()).left, 21 + round) << round;
        SendMessageW(login.closeButton().hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(login.closeButton().hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Pump();
        EXPECT_FALSE(login.IsLoaded()) << round;
        EXPECT_FALSE(login.background().IsLoaded()) << round;
        login.Load();
        Pump();
    }
}

TEST_F(LoginFrmTest, FromTheGameThePageShowsAtOnceAndAFailureSaysSoButKeepsTheGame) {
    sessionOpen = true;
    login.background().Close();
    Pump();
    for (int round = 0; round < 2; ++round) {
        login.ShowAgain();
        Pump();
        EXPECT_TRUE(login.IsVisible()) << round; // at once
        EXPECT_FALSE(login.background().IsVisible()) << round;
        if (round == 0) {
            const RECT before = WindowRect(login.hwnd());
            CompleteLoginPage(); // the background joins it where it is
            EXPECT_TRUE(login.background().IsVisible());
            EXPECT_EQ(WindowRect(login.background().hwnd()).left, before.left);
            EXPECT_EQ(WindowRect(login.hwnd()).top, before.top);
            login.ShowAgain(); // an open pair stays as it is
            EXPECT_TRUE(login.background().IsVisible());
            login.background().Close();
        } else {
            SendMessageW(login.hwnd(), WM_TIMER, 1, 0); // the page never came
        }
        Pump();
    }
    login.Load();
    Pump();
    CompleteLoginPage(99);
    EXPECT_FALSE(login.background().IsLoaded());
    EXPECT_EQ(platform.messages,
              (std::vector<std::wstring>{texts::kNoConnection, texts::kNoConnection}));
    EXPECT_EQ(ended, 0);
}

TEST_F(LoginFrmTest, RepeatedLoadsAndClosesGiveEveryGdiObjectBack) {
    const auto gdiObjects = [] { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); };
    DWORD settled = 0;
    for (int round = 0; round < 4; ++round) {
        LoadFrm splash;
        splash.Show();
        login.Load();
        CompleteLoginPage();
        const HGDIOBJ held[] = {splash.canvas().bitmap.get(), splash.canvas().dc.get(),
                                login.background().canvas().bitmap.get(),
                                login.background().canvas().dc.get()};
        splash.Close();
        login.background().Close();
        Pump();
        for (const HGDIOBJ object : held)
            EXPECT_EQ(GetObjectType(object), 0u) << round;
        // The first round may leave caches behind; later ones must not grow.
        if (round == 0)
            settled = gdiObjects();
        else
            EXPECT_EQ(gdiObjects(), settled) << round;
    }
}
