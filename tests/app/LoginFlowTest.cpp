#include "app/LoginCommand.h"
#include "app/LoginFlow.h"
#include "app/ScriptedBrowser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaly;
using Kind = LoginCommand::Kind;

TEST(LoginCommand, CommandsAreFoundAnywhereInTheAddress) {
    EXPECT_EQ(ParseLoginCommand(L"app://exitgame").kind, Kind::ExitGame);
    EXPECT_EQ(ParseLoginCommand(L"app://minimize/").kind, Kind::Minimize);
    const LoginCommand inQuery = ParseLoginCommand(L"http://127.0.0.1/x?next=app://minimize&a=1");
    EXPECT_EQ(inQuery.kind, Kind::Minimize);
    EXPECT_TRUE(inQuery.cancelNavigation);
    // First match wins, in the order exitgame, minimize, loadgame.
    EXPECT_EQ(ParseLoginCommand(L"app://loadgame|http://a.example/?app://exitgame").kind,
              Kind::ExitGame);
    EXPECT_EQ(ParseLoginCommand(L"APP://EXITGAME").kind, Kind::None);
    EXPECT_TRUE(ParseLoginCommand(L"APP://EXITGAME").cancelNavigation); // never loaded either
    // A hand-over merely carried in a query is none.
    const wchar_t carried[] = L"http://127.0.0.1/?next=app://loadgame|http://evil.example/";
    EXPECT_EQ(ParseLoginCommand(carried).kind, Kind::None);
    EXPECT_FALSE(ParseLoginCommand(carried).cancelNavigation);
    EXPECT_EQ(ParseLoginCommand(L"http://127.0.0.1/client/").kind, Kind::None);
    EXPECT_FALSE(ParseLoginCommand(L"http://127.0.0.1/client/").cancelNavigation);
}

TEST(LoginCommand, HandOverTakesTheTextBetweenTheFirstTwoBars) {
    const LoginCommand one = ParseLoginCommand(L"app://loadgame|http://127.0.0.1:8080/game/1.html");
    EXPECT_EQ(one.kind, Kind::LoadGame);
    EXPECT_EQ(one.address, L"http://127.0.0.1:8080/game/1.html");
    EXPECT_TRUE(one.cancelNavigation);
    EXPECT_EQ(ParseLoginCommand(L"app://loadgame|https://g.example/2|extra|more").address,
              L"https://g.example/2");
    // Missing, empty or non-web addresses are ignored, and the login page stays.
    for (const wchar_t* bad :
         {L"app://loadgame", L"app://loadgame|", L"app://loadgame||http://a.example/",
          L"app://loadgame|javascript:alert(1)", L"app://loadgame|file:///C:/x",
          L"app://loadgame|app://exit", L"app://loadgame|http://a.example/\r\nx"}) {
        const LoginCommand ignored = ParseLoginCommand(bad);
        EXPECT_EQ(ignored.kind, Kind::LoadGame) << bad;
        EXPECT_TRUE(ignored.address.empty()) << bad;
        EXPECT_TRUE(ignored.cancelNavigation) << bad;
    }
}

namespace {

class RecordingWindows : public LoginWindows {
public:
    std::vector<std::wstring> calls;
    void ClosePair() override { calls.push_back(L"close"); }
    void MinimizePair() override { calls.push_back(L"minimize"); }
    void ShowPair() override { calls.push_back(L"show"); }
    void HandOver(const std::wstring& address) override { calls.push_back(L"handover " + address); }
    void SayNoConnection(bool endProcess) override {
        calls.push_back(endProcess ? L"end" : L"no connection");
    }
    bool GameSessionOpen() const override { return sessionOpen; }
    bool sessionOpen = false;
};

const std::wstring kLogin = L"http://127.0.0.1:8080/client/";

class LoginFlowTest : public ::testing::Test {
protected:
    ScriptedBrowser browser;
    RecordingWindows windows;
    LoginFlow flow{browser, windows};
};

} // namespace

TEST_F(LoginFlowTest, TopLevelCompletionWithEnoughContentShowsThePairOnce) {
    browser.Navigate(kLogin);
    browser.PlayDownloadBegin();
    EXPECT_TRUE(browser.silent());
    EXPECT_TRUE(windows.calls.empty()); // hidden until the page completes
    // A frame completes first: its address is not in the document's.
    browser.PlayDocumentComplete(L"http://127.0.0.1:8080/client/ad.html", kLogin, 100);
    EXPECT_TRUE(windows.calls.empty());
    browser.PlayDocumentComplete(kLogin, kLogin, 100);
    browser.PlayDocumentComplete(kLogin, kLogin + L"#again", 500); // repeated: harmless
    EXPECT_EQ(windows.calls, (std::vector<std::wstring>{L"show", L"show"}));
    EXPECT_TRUE(flow.completed());
    flow.WaitExpired(); // too late to matter
    EXPECT_EQ(windows.calls.size(), 2u);
}

TEST_F(LoginFlowTest, APageOfFewerThan100CharactersEndsTheClient) {
    browser.Navigate(kLogin);
    browser.PlayDocumentComplete(kLogin, kLogin, 99);
    EXPECT_EQ(windows.calls, (std::vector<std::wstring>{L"end"}));
    browser.PlayDocumentComplete(kLogin, kLogin, 5000); // nothing after the end
    EXPECT_EQ(windows.calls.size(), 1u);
}

TEST_F(LoginFlowTest, ATopLevelErrorOrNoCompletionInTimeEndsTheClient) {
    browser.PlayNavigateError(L"http://127.0.0.1:8080/client/frame.html", false);
    EXPECT_TRUE(windows.calls.empty());
    browser.PlayNavigateError(kLogin, true);
    EXPECT_EQ(windows.calls, (std::vector<std::wstring>{L"end"}));

    ScriptedBrowser silentBrowser;
    RecordingWindows otherWindows;
    LoginFlow waiting(silentBrowser, otherWindows);
    waiting.WaitExpired();
    EXPECT_EQ(otherWindows.calls, (std::vector<std::wstring>{L"end"}));
}

TEST_F(LoginFlowTest, OnlyThePageItselfCommandsAndNoAppAddressLoads) {
    // Its frames may hold any site: their commands are stopped and do nothing.
    EXPECT_FALSE(browser.PlayNavigation(L"app://exitgame", false));
    EXPECT_FALSE(
        browser.PlayNavigation(L"app://loadgame|http://127.0.0.1:8080/game/9.html", false));
    EXPECT_TRUE(browser.PlayNavigation(L"http://127.0.0.1/?go=app://minimize", false));
    EXPECT_FALSE(browser.PlayNavigation(L"app://minimize"));
    EXPECT_FALSE(browser.PlayNavigation(L"http://127.0.0.1/?go=app://exitgame"));
    EXPECT_FALSE(browser.PlayNavigation(L"app://loadgame|http://127.0.0.1:8080/game/1.html|x"));
    EXPECT_FALSE(browser.PlayNavigation(L"app://loadgame|"));
    EXPECT_TRUE(browser.PlayNavigation(L"http://127.0.0.1:8080/client/next.html"));
    EXPECT_EQ(windows.calls,
              (std::vector<std::wstring>{L"minimize", L"close",
                                         L"handover http://127.0.0.1:8080/game/1.html"}));
}

TEST_F(LoginFlowTest, WhileAGameSessionIsOpenAFailingPageSaysSoAndKeepsTheGame) {
    windows.sessionOpen = true;
    browser.PlayDocumentComplete(kLogin, kLogin, 99);
    browser.PlayNavigateError(kLogin, true); // nothing after the first failure
    EXPECT_EQ(windows.calls, (std::vector<std::wstring>{L"no connection"}));

    for (const bool timeOut : {false, true}) {
        ScriptedBrowser other;
        RecordingWindows otherWindows;
        otherWindows.sessionOpen = true;
        LoginFlow again(other, otherWindows);
        if (timeOut)
            again.WaitExpired();
        else
            other.PlayNavigateError(kLogin, true);
        EXPECT_EQ(otherWindows.calls, (std::vector<std::wstring>{L"no connection"})) << timeOut;
    }
}
