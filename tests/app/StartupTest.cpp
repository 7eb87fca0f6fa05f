#include "app/Startup.h"

#include "shell/ScriptedPlatform.h"
#include "app/Texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaly;

namespace {

// Records what the start-up asks of the outside world, in order.
class RecordingPlatform : public Platform {
public:
    bool online = true;
    std::vector<std::wstring> calls;
    std::vector<Message> messages;

    bool IsOnline() override {
        calls.push_back(L"online?");
        return online;
    }
    MessageAnswer ShowMessage(const Message& message) override {
        calls.push_back(L"message");
        messages.push_back(message);
        return MessageAnswer::Ok;
    }
    bool Open(const std::wstring& file, const std::wstring& parameters) override {
        calls.push_back(L"open " + file + L"|" + parameters);
        return false; // a browser that fails to start changes nothing
    }
    bool Start(const std::wstring&, const std::wstring&, const std::wstring&) override {
        return true;
    }
};

} // namespace

TEST(Startup, OfflineShowsOnlyTheConnectionMessageAndEnds) {
    RecordingPlatform platform;
    platform.online = false;
    const Config config;
    bool checked = false;
    Startup startup(platform, config, [&] {
        checked = true;
        return Next::Continue;
    });
    EXPECT_EQ(startup.Initialize(), Next::EndProcess);
    EXPECT_FALSE(checked); // no manifest is fetched offline
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, texts::kNoConnection);
    EXPECT_EQ(platform.messages[0].title, L"提示");
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(platform.messages[0].buttons, MessageButtons::Ok);
}

TEST(Startup, OnlineRunsTheVersionCheckWhichMayEndTheProcess) {
    RecordingPlatform platform;
    const Config config;
    Startup goOn(platform, config, [] { return Next::Continue; });
    EXPECT_EQ(goOn.Initialize(), Next::Continue);
    Startup updating(platform, config, [] { return Next::EndProcess; });
    EXPECT_EQ(updating.Initialize(), Next::EndProcess);
    EXPECT_TRUE(platform.messages.empty());
}

TEST(Startup, WebSwitchOpensTheMakersPageAndEndsEvenWhenTheBrowserFails) {
    RecordingPlatform platform;
    Config config;
    config.makerHome = L"http://127.0.0.1:1/maker/";
    Startup startup(platform, config, nullptr);
    EXPECT_EQ(startup.HandleArguments(L"/web"), Next::EndProcess);
    ASSERT_EQ(platform.calls.size(), 1u);
    EXPECT_EQ(platform.calls[0], L"open http://127.0.0.1:1/maker/|");
    for (const wchar_t* other : {L"", L"/WEB", L"/Web", L"/web ", L"/web x", L" /web", L"web"}) {
        EXPECT_EQ(startup.HandleArguments(other), Next::Continue) << other;
    }
    EXPECT_EQ(platform.calls.size(), 1u);
}

TEST(Startup, ArgumentsFollowTheProgramNameQuotedOrNot) {
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Program Files\\Tessaly\\Tessaly.exe\" /web"), L"/web");
    EXPECT_EQ(ArgumentsOf(L"Tessaly.exe   /web"), L"/web");
    EXPECT_EQ(ArgumentsOf(L"Tessaly.exe\t/web x "), L"/web x ");
    EXPECT_EQ(ArgumentsOf(L"Tessaly.exe"), L"");
    EXPECT_EQ(ArgumentsOf(L"\"C:\\unterminated /web"), L"");
    EXPECT_EQ(ArgumentsOf(L""), L"");
}

TEST(ScriptedPlatform, LogsInsteadOfShowingAndAnswersFromTheScript) {
    RecordingPlatform real;
    real.online = true;
    std::vector<std::wstring> log;
    ScriptedPlatform scripted(real, ParseScript(L"Offline", L"yes"),
                              [&](const std::wstring& l) { log.push_back(l); });
    EXPECT_FALSE(scripted.IsOnline());
    EXPECT_EQ(
        scripted.ShowMessage({L"text", L"title", MessageIcon::Question, MessageButtons::YesNo}),
        MessageAnswer::Yes);
    EXPECT_EQ(scripted.ShowMessage({L"t2", L"title", MessageIcon::Information, MessageButtons::Ok}),
              MessageAnswer::Ok);
    EXPECT_TRUE(scripted.Open(L"http://127.0.0.1/", L""));
    EXPECT_TRUE(real.calls.empty());
    EXPECT_EQ(log, (std::vector<std::wstring>{L"message\ttitle\ttext", L"message\ttitle\tt2",
                                              L"open\thttp://127.0.0.1/\t"}));

    // Without a network value the real test answers; unknown answers mean No.
    ScriptedPlatform partial(real, ParseScript(L"", L"maybe"), [](const std::wstring&) {});
    EXPECT_TRUE(partial.IsOnline());
    EXPECT_EQ(partial.ShowMessage({L"q", L"t", MessageIcon::Question, MessageButtons::YesNo}),
              MessageAnswer::No);

    // Successive questions take the answers in turn; the last one stays.
    ScriptedPlatform turns(real, ParseScript(L"", L"No,yes"), [](const std::wstring&) {});
    const Message question{L"q", L"t", MessageIcon::Question, MessageButtons::YesNo};
    EXPECT_EQ(turns.ShowMessage(question), MessageAnswer::No);
    EXPECT_EQ(turns.ShowMessage({L"i", L"t", MessageIcon::Information, MessageButtons::Ok}),
              MessageAnswer::Ok);
    EXPECT_EQ(turns.ShowMessage(question), MessageAnswer::Yes);
    EXPECT_EQ(turns.ShowMessage(question), MessageAnswer::Yes);
}

TEST(ScriptedPlatform, StartsRunForAsManyGenerationsAsAsked) {
    RecordingPlatform real;
    std::vector<int> handed;
    const auto log = [](const std::wstring&) {};
    ScriptedPlatform two(real, ParseScript(L"", L"", L"2"), log,
                         [&](int n) { handed.push_back(n); });
    two.Open(L"Update.exe", L"C:\\G|C:\\G\\Tessaly.exe");
    ScriptedPlatform all(real, ParseScript(L"", L"", L"run"), log,
                         [&](int n) { handed.push_back(n); });
    all.Open(L"b.exe", L"");
    ScriptedPlatform last(real, ParseScript(L"", L"", L"0"), log,
                          [&](int n) { handed.push_back(n); });
    last.Open(L"c.exe", L"");
    ScriptedPlatform odd(real, ParseScript(L"", L"", L"soon"), log,
                         [&](int n) { handed.push_back(n); });
    odd.Open(L"d.exe", L"");
    EXPECT_EQ(handed, (std::vector<int>{1, -1})); // the last two only log
    EXPECT_EQ(real.calls, (std::vector<std::wstring>{L"open Update.exe|C:\\G|C:\\G\\Tessaly.exe",
                                                     L"open b.exe|"}));
}
