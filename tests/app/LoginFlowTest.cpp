#include "app/LoginCommand.h"
#include "app/LoginFlow.h"
#include "app/ScriptedBrowser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaly;
using Kind = LoginCommand::Kind;

TEST(LoginCommand, ReadsTheCommandsAndStopsEveryAppAddress) {
    const struct {
        const wchar_t* url;
        Kind kind;
        const wchar_t* address;
        bool cancelled;
    } cases[] = {
        {L"app://exitgame", Kind::ExitGame, L"", true},
        {L"app://minimize/", Kind::Minimize, L"", true},
        {L"http://127.0.0.1/x?next=app://minimize&a=1", Kind::Minimize, L"", true}, // anywhere
        // First match wins, in the order exitgame, minimize, loadgame.
        {L"app://loadgame|http://a.example/?app://exitgame", Kind::ExitGame, L"", true},
        {L"APP://EXITGAME", Kind::None, L"", true}, // no command, and not loaded either
        {L"app://elsewhere", Kind::None, L"", true},
        {L"http://127.0.0.1/client/", Kind::None, L"", false},
        // A hand-over merely carried in a query is none.
        {L"http://127.0.0.1/?next=app://loadgame|http://evil.example/", Kind::None, L"", false},
        {L"app://loadgame|http://127.0.0.1:8080/game/1.html", Kind::LoadGame,
         L"http://127.0.0.1:8080/game/1.html", true},
        {L"app://loadgame|https://g.example/2|extra|more", Kind::LoadGame, L"https://g.example/2",
         true},
        // Missing, empty or non-web addresses are ignored, and the login page stays.
        {L"app://loadgame", Kind::LoadGame, L"", true},
        {L"app://loadgame|", Kind::LoadGame, L"", true},
        {L"app://loadgame||http://a.example/", Kind::LoadGame, L"", true},
        {L"app://loadgame|javascript:alert(1)", Kind::LoadGame, L"", true},
        {L"app://loadgame|file:///C:/x", Kind::LoadGame, L"", true},
        {L"app://loadgame|app://exit", Kind::LoadGame, L"", true},
        {L"app://loadgame|http://a.example/\r\nx", Kind::LoadGame, L"", true},
    };
    for (const auto& c : cases) {
        const LoginCommand command = ParseLoginCommand(c.url);
        EXPECT_EQ(command.kind, c.kind) << c.url;
        EXPECT_EQ(command.address, c.address) << c.url;
        EXPECT_EQ(command.cancelNavigation, c.cancelled) << c.url;
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
    EXPECT_FALSE(browser.PlayNavigation(L"app://loadgame|http://127.0.0.1:8080/game/9.html", false));
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
