#include "app/ScriptedBrowser.h"

#include "base/Error.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace tessaly;

TEST(BrowserScript, ParsesSectionsAndRejectsWhatItCannotRead) {
    const BrowserScript script =
        BrowserScript::Parse(L"# tour\r\non /client/\r\n  wait 1500\n  downloadbegin\n"
                             L"  complete 2400\n\n  navigate app://loadgame|{origin}/g\n"
                             L"on /game/\n  title Ridge of Embers\n  error\n");
    ASSERT_EQ(script.sections.size(), 2u);
    EXPECT_EQ(script.sections[0].steps.size(), 4u);
    EXPECT_EQ(script.sections[1].steps[0].text, L"Ridge of Embers");
    EXPECT_EQ(script.SectionFor(L"http://h/game/1.html"), &script.sections[1]);
    EXPECT_EQ(script.SectionFor(L"about:blank"), nullptr);
    for (const wchar_t* bad :
         {L"wait 5", L"on /x/\nwait soon", L"on /x/\ncomplete -1", L"on /x/\njump 3", L"on\n",
          L"on /x/\ndownloadbegin now", L"on /x/\nnavigate", L"on /x/\nwait 2147483648",
          L"on /x/\nnewwindow", L"on /x/\nframenavigate"}) {
        EXPECT_THROW(BrowserScript::Parse(bad), Error) << bad;
    }
    EXPECT_EQ(OriginOf(L"http://127.0.0.1:8080/client/?a=b"), L"http://127.0.0.1:8080");
    EXPECT_EQ(OriginOf(L"https://g.example"), L"https://g.example");
    EXPECT_EQ(OriginOf(L"about:blank"), L"");
    EXPECT_EQ(BrowserScript::Parse(L"on /x/\nwait 2147483647").sections[0].steps[0].number,
              kMaxWaitMilliseconds);
}

TEST(ScriptedBrowser, NavigationInACircleWithoutAWaitEndsWithAnError) {
    const std::pair<const wchar_t*, const wchar_t*> circles[] = {
        {L"on /loop/\n navigate {origin}/loop/\n", L"http://127.0.0.1:9/loop/"},
        {L"on /a/\n complete 300\n navigate {origin}/b/\non /b/\n navigate {origin}/a/\n",
         L"http://127.0.0.1:9/a/"}};
    for (const auto& [circle, start] : circles) {
        ScriptedBrowser browser(BrowserScript::Parse(circle));
        browser.Navigate(start);
        try {
            browser.Advance();
            ADD_FAILURE() << "no error for a circle";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), error::kInvalidArgument);
            EXPECT_NE(std::string(e.what()).find("without a wait"), std::string::npos) << e.what();
        }
        EXPECT_EQ(browser.Advance(), std::nullopt); // the script has stopped
    }
    // An address no browser takes stops the script the same way.
    ScriptedBrowser longer(
        BrowserScript::Parse(L"on /g/\n navigate {origin}/" + std::wstring(2070, L'a') + L"\n"));
    longer.Navigate(L"http://127.0.0.1:9/g/");
    EXPECT_THROW(longer.Advance(), Error);
    EXPECT_EQ(longer.Advance(), std::nullopt);
    // The same circle with a wait in it plays on, one wait at a time.
    ScriptedBrowser waiting(
        BrowserScript::Parse(L"on /loop/\n wait 5\n navigate {origin}/loop/\n"));
    waiting.Navigate(L"http://127.0.0.1:9/loop/");
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(waiting.Advance(), 5);
}

TEST(ScriptedBrowser, PlaysTheSectionOfTheNavigatedAddressUpToEachWait) {
    ScriptedBrowser browser(BrowserScript::Parse(
        L"on /client/\n downloadbegin\n wait 20\n complete 300\n"
        L" navigate app://loadgame|{origin}/game/1.html\n"
        L"on /game/\n complete 150\n title Game One\n"
        L" framenavigate {origin}/game/ad.html\n newwindow {origin}/game/2\n"));
    int queued = 0;
    browser.StepsQueued = [&] { ++queued; };
    std::vector<std::wstring> events;
    browser.DownloadBegin.Connect([&] { events.push_back(L"begin"); });
    browser.DocumentComplete.Connect(
        [&](const std::wstring& url) { events.push_back(L"complete " + url); });
    browser.BeforeNavigate2.Connect([&](const std::wstring& url, bool topLevel, bool& cancel) {
        events.push_back((topLevel ? L"before " : L"frame ") + url);
        cancel = url.starts_with(L"app://");
    });
    browser.NewWindow3.Connect(
        [&](const std::wstring& url) { events.push_back(L"window " + url); });
    browser.TitleChange.Connect([&](const std::wstring& t) { events.push_back(L"title " + t); });

    browser.Navigate(L"http://127.0.0.1:9/client/");
    EXPECT_EQ(queued, 1);
    EXPECT_EQ(browser.Advance(), 20);
    EXPECT_EQ(browser.Advance(), std::nullopt); // the cancelled command starts nothing
    EXPECT_EQ(browser.DocumentInnerHtmlLength(), 300);
    browser.Navigate(L"http://127.0.0.1:9/game/1.html");
    EXPECT_EQ(browser.Advance(), std::nullopt);
    EXPECT_EQ(
        events,
        (std::vector<std::wstring>{
            L"before http://127.0.0.1:9/client/", L"begin", L"complete http://127.0.0.1:9/client/",
            L"before app://loadgame|http://127.0.0.1:9/game/1.html",
            L"before http://127.0.0.1:9/game/1.html", L"complete http://127.0.0.1:9/game/1.html",
            L"title Game One",
            // A frame's page plays no section of its own.
            L"frame http://127.0.0.1:9/game/ad.html", L"window http://127.0.0.1:9/game/2"}));
    EXPECT_EQ(browser.DocumentUrl(), L"http://127.0.0.1:9/game/1.html");
    browser.Refresh(); // replays the current page
    EXPECT_EQ(browser.Advance(), std::nullopt);
    EXPECT_EQ(events.back(), L"window http://127.0.0.1:9/game/2");
    EXPECT_EQ(browser.refreshCount(), 1);
}
