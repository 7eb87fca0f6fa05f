#include "app/UpdateCheck.h"

#include "app/Texts.h"
#include "base/ErrorLog.h"
#include "update/StartParameter.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace tessaly;

namespace {

class FakePlatform : public Platform {
public:
    MessageAnswer answer = MessageAnswer::No;
    bool openWorks = true;
    std::vector<std::wstring> calls;
    std::vector<Message> messages;

    bool IsOnline() override { return true; }
    MessageAnswer ShowMessage(const Message& message) override {
        calls.push_back(L"message");
        messages.push_back(message);
        return message.buttons == MessageButtons::Ok ? MessageAnswer::Ok : answer;
    }
    bool Open(const std::wstring& file, const std::wstring& parameters) override {
        calls.push_back(L"open " + file + L" " + parameters);
        return openWorks;
    }
};

// The temporary folder: what the download leaves there, and what is written.
class FakeHost : public UpdateHost {
public:
    std::optional<std::wstring> served; // what the server answers; nullopt: unreachable
    std::map<std::wstring, std::wstring> files;
    bool writeWorks = true;
    std::vector<std::wstring> calls;

    void DownloadManifest(const std::wstring& url, const std::wstring& path) override {
        calls.push_back(L"download " + url + L" " + path);
        if (served) files[path] = *served;
    }
    std::optional<std::wstring> ReadText(const std::wstring& path) override {
        const auto found = files.find(path);
        if (found == files.end()) return std::nullopt;
        return found->second;
    }
    bool WriteUpdater(const std::wstring& path) override {
        calls.push_back(L"write " + path);
        if (writeWorks) files[path] = L"MZ";
        return writeWorks;
    }
};

class ErrorCapture {
public:
    ErrorCapture()
        : previous_(SetErrorSink([this](std::wstring_view t) { logged.emplace_back(t); })) {}
    ~ErrorCapture() { SetErrorSink(previous_); }
    std::vector<std::wstring> logged;

private:
    ErrorSink previous_;
};

const wchar_t kTemp[] = L"C:\\Users\\p\\AppData\\Local\\Temp\\";
const wchar_t kManifest[] = L"C:\\Users\\p\\AppData\\Local\\Temp\\update.txt";
const wchar_t kUpdater[] = L"C:\\Users\\p\\AppData\\Local\\Temp\\Update.exe";

struct Rig {
    FakePlatform platform;
    FakeHost host;
    UpdateCheck check{platform,
                      host,
                      {L"1.1.0", L"http://127.0.0.1:9/gamehome/quorl/update.txt", kTemp,
                       L"D:\\Games\\Ωmega", L"client"}};
};

const std::wstring kParameters = L"D:\\Games\\Ωmega|D:\\Games\\Ωmega\\client.exe";

} // namespace

TEST(UpdateCheck, AtStartupTheSameVersionOrNoManifestCarryOnSilently) {
    for (const std::optional<std::wstring>& served :
         {std::optional<std::wstring>(L"a|b\r\nversion=1.1.0\r\nc|d"),
          std::optional<std::wstring>(L"a|b|c\r\n"), std::optional<std::wstring>()}) {
        Rig rig;
        rig.host.served = served;
        EXPECT_EQ(rig.check.CheckForUpdate(), Next::Continue);
        EXPECT_TRUE(rig.platform.calls.empty());
        EXPECT_EQ(rig.host.calls, std::vector<std::wstring>{
                                      L"download http://127.0.0.1:9/gamehome/quorl/update.txt " +
                                      std::wstring(kManifest)});
    }
}

TEST(UpdateCheck, AnUnreachableServerLeavesTheEarlierManifestInCharge) {
    Rig rig;
    rig.host.files[kManifest] = L"version=1.2.0";
    EXPECT_EQ(rig.check.CheckForUpdate(), Next::Continue);
    ASSERT_EQ(rig.platform.messages.size(), 1u); // the offer, from the earlier file
    EXPECT_EQ(rig.platform.messages[0].text, texts::kUpdateQuestion);
}

TEST(UpdateCheck, AtStartupAnAcceptedUpdateStartsTheUpdaterAndEnds) {
    Rig rig;
    rig.host.served = L"version=1.1.1";
    rig.platform.answer = MessageAnswer::Yes;
    EXPECT_EQ(rig.check.CheckForUpdate(), Next::EndProcess);
    ASSERT_EQ(rig.platform.messages.size(), 1u);
    const Message& question = rig.platform.messages[0];
    EXPECT_EQ(question.text, L"发现有新版本，是否现在更新！");
    EXPECT_EQ(question.title, L"提示");
    EXPECT_EQ(question.icon, MessageIcon::Question);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(rig.host.calls.back(), L"write " + std::wstring(kUpdater));
    EXPECT_EQ(rig.platform.calls,
              (std::vector<std::wstring>{L"message",
                                         L"open " + std::wstring(kUpdater) + L" " + kParameters}));
}

TEST(UpdateCheck, ADeclinedOrFailedUpdateCarriesOn) {
    Rig declined;
    declined.host.served = L"version=1.0.9";
    EXPECT_EQ(declined.check.CheckForUpdate(), Next::Continue);
    EXPECT_EQ(declined.platform.calls, std::vector<std::wstring>{L"message"});
    EXPECT_EQ(declined.host.calls.size(), 1u); // nothing written

    ErrorCapture errors;
    Rig unwritable;
    unwritable.host.served = L"version=1.1";
    unwritable.platform.answer = MessageAnswer::Yes;
    unwritable.host.writeWorks = false;
    EXPECT_EQ(unwritable.check.CheckForUpdate(), Next::Continue);
    EXPECT_EQ(unwritable.platform.calls, std::vector<std::wstring>{L"message"});
    ASSERT_EQ(errors.logged.size(), 1u);
    EXPECT_NE(errors.logged[0].find(kUpdater), std::wstring::npos);

    Rig unstartable;
    unstartable.host.served = L"version=1.1";
    unstartable.platform.answer = MessageAnswer::Yes;
    unstartable.platform.openWorks = false;
    EXPECT_EQ(unstartable.check.CheckForUpdate(), Next::Continue);
    EXPECT_EQ(unstartable.platform.calls.size(), 2u);
    EXPECT_EQ(errors.logged.size(), 2u);
}

TEST(UpdateCheck, FromTheMenu) {
    Rig latest;
    latest.host.served = L"version=1.1.0";
    EXPECT_EQ(latest.check.CheckForUpdateFromMenu(), UpdateCheck::MenuOutcome::KeepRunning);
    ASSERT_EQ(latest.platform.messages.size(), 1u);
    EXPECT_EQ(latest.platform.messages[0].text, L"当前版本已是最新，无需更新！");
    EXPECT_EQ(latest.platform.messages[0].title, L"提示");
    EXPECT_EQ(latest.platform.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(latest.platform.messages[0].buttons, MessageButtons::Ok);

    Rig nothing;
    nothing.host.served = L"a|b|c";
    EXPECT_EQ(nothing.check.CheckForUpdateFromMenu(), UpdateCheck::MenuOutcome::KeepRunning);
    EXPECT_TRUE(nothing.platform.calls.empty());

    Rig declined;
    declined.host.served = L"version=2.0.0";
    EXPECT_EQ(declined.check.CheckForUpdateFromMenu(), UpdateCheck::MenuOutcome::KeepRunning);
    EXPECT_EQ(declined.platform.calls, std::vector<std::wstring>{L"message"});

    Rig accepted;
    accepted.host.served = L"version=2.0.0";
    accepted.platform.answer = MessageAnswer::Yes;
    EXPECT_EQ(accepted.check.CheckForUpdateFromMenu(), UpdateCheck::MenuOutcome::CloseForUpdate);
    EXPECT_EQ(accepted.platform.calls.back(),
              L"open " + std::wstring(kUpdater) + L" " + kParameters);

    ErrorCapture errors;
    Rig failed;
    failed.host.served = L"version=2.0.0";
    failed.platform.answer = MessageAnswer::Yes;
    failed.platform.openWorks = false;
    EXPECT_EQ(failed.check.CheckForUpdateFromMenu(), UpdateCheck::MenuOutcome::KeepRunning);
    EXPECT_EQ(errors.logged.size(), 1u);
}

TEST(UpdateCheck, UpdaterParametersNameTheFolderAndTheExecutable) {
    EXPECT_EQ(UpdaterParameters(L"D:\\Games\\Client", L"client"),
              L"D:\\Games\\Client|D:\\Games\\Client\\client.exe");
    EXPECT_EQ(UpdaterParameters(L"D:\\", L"Tessaly"), L"D:\\|D:\\Tessaly.exe");
    EXPECT_EQ(FileStem(L"D:\\Games\\Client\\client.exe"), L"client");
    EXPECT_EQ(FileStem(L"D:\\Games\\v1.2\\Tessaly.game.EXE"), L"Tessaly.game");
    EXPECT_EQ(FileStem(L"D:\\Games.d\\Tessaly"), L"Tessaly");
}
