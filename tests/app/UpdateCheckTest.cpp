#include "app/UpdateCheck.h"

#include "app/Texts.h"
#include "base/ErrorLog.h"
#include "base/Text.h"
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
    bool Start(const std::wstring& program, const std::wstring& parameters,
               const std::wstring& folder) override {
        calls.push_back(L"start " + program + L" " + parameters + L" in " + folder);
        return openWorks;
    }
};

// The server and the temporary folder. A signature is good when it is "signed:"
// followed by the manifest's bytes.
class FakeHost : public UpdateHost {
public:
    std::optional<std::string> served;    // the manifest; nullopt: unreachable
    std::optional<std::string> signature; // nullopt: none served
    std::map<std::wstring, std::string> files;
    bool writeWorks = true;
    std::vector<std::wstring> calls;

    void Serve(std::string manifest) {
        signature = "signed:" + manifest;
        served = std::move(manifest);
    }
    std::optional<std::string> Download(const std::wstring& url) override {
        calls.push_back(L"download " + url);
        return url.ends_with(L".sig") ? (served ? signature : std::nullopt) : served;
    }
    std::wstring SignatureProblem(std::string_view manifest, std::string_view sig) override {
        return sig == "signed:" + std::string(manifest) ? L"" : L"no key accepts it";
    }
    std::wstring Decode(std::string_view bytes) override { return Utf8ToWide(bytes); }
    bool WriteHidden(const std::wstring& path, std::string_view bytes) override {
        files[path] = bytes;
        return true;
    }
    bool WriteUpdater(const std::wstring& path) override {
        calls.push_back(L"write " + path);
        if (writeWorks) files[path] = "MZ";
        return writeWorks;
    }
    std::optional<std::wstring> MakeRunFolder(const std::wstring& parent) override {
        return parent + L"Tessaly-update-0123456789abcdef\\";
    }
    std::wstring Sha256Hex(std::string_view) override { return std::wstring(64, L'c'); }
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
const std::wstring kRunFolder = kTemp + std::wstring(L"Tessaly-update-0123456789abcdef\\");
const std::wstring kUpdater = kRunFolder + L"Update.exe";

struct Rig {
    FakePlatform platform;
    FakeHost host;
    UpdateCheck check{platform,
                      host,
                      {L"1.1.0", L"http://127.0.0.1:9/gamehome/quorl/update.txt", kTemp,
                       L"D:\\Games\\Ωmega", L"client", 4242}};
};

const std::wstring kParameters =
    L"D:\\Games\\Ωmega|D:\\Games\\Ωmega\\client.exe|4242|" + std::wstring(64, L'c');
const std::wstring kStarted = L"start " + kUpdater + L" " + kParameters + L" in " + kRunFolder;

} // namespace

// What is offered follows from the bytes just fetched and their signature
// only, never from what an earlier run left in the temporary folder.
TEST(UpdateCheck, OnlyASignedHigherVersionIsOffered) {
    struct Case {
        const char* manifest;    // nullptr: the server cannot be reached
        const char* signature;   // nullptr: none served; "": the good one
        const wchar_t* menuText; // what the menu run says; nullptr: nothing
        bool offered;
        bool logged; // refused signatures, stale copies and unreadable versions say why
    };
    const Case cases[] = {
        {"version=1.10.0", "", texts::kUpdateQuestion, true, false},
        {"version=1.2", "", texts::kUpdateQuestion, true, false},
        {"version=1.1", "", texts::kAlreadyLatest, false, false},
        {"version=1.0.9", "", texts::kAlreadyLatest, false, true}, // a stale copy
        {"version=1.1.0-beta", "", nullptr, false, true},
        {"f|http://h/f.exe|aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\r\n",
         "", nullptr, false, false}, // no version line
        {"version=1.2.0\r\nf|http://h/f.exe\r\n", "", texts::kUpdateUnverified, false, true},
        {"version=1.2.0", nullptr, texts::kUpdateUnverified, false, true},
        {"version=1.2.0", "signed:version=1.2.1", texts::kUpdateUnverified, false, true},
        {nullptr, nullptr, nullptr, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.manifest ? c.manifest : "unreachable");
        ErrorCapture errors;
        for (const bool fromMenu : {false, true}) {
            Rig rig;
            rig.host.files[kManifest] = "version=9.9.9"; // an earlier run's, or planted
            if (c.manifest) rig.host.Serve(c.manifest);
            rig.host.signature = !c.signature   ? std::nullopt
                                 : *c.signature ? std::optional<std::string>(c.signature)
                                                : rig.host.signature;
            if (fromMenu) {
                EXPECT_EQ(rig.check.CheckForUpdateFromMenu(),
                          UpdateCheck::MenuOutcome::KeepRunning);
                ASSERT_EQ(rig.platform.messages.size(), c.menuText ? 1u : 0u);
                if (c.menuText) {
                    EXPECT_EQ(rig.platform.messages[0].text, c.menuText);
                }
            } else {
                EXPECT_EQ(rig.check.CheckForUpdate(), Next::Continue);
                EXPECT_EQ(rig.platform.messages.size(), c.offered ? 1u : 0u);
            }
        }
        EXPECT_EQ(!errors.logged.empty(), c.logged);
    }
    // The box of a refused signature; the updater gets both files to check again.
    Rig forged;
    forged.host.Serve("version=1.2.0");
    forged.host.signature = "forged";
    forged.check.CheckForUpdateFromMenu();
    EXPECT_EQ(forged.platform.messages.at(0).text, L"升级信息校验失败，请稍后再试！");
    EXPECT_EQ(forged.platform.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(forged.host.files[kManifest] + forged.host.files[kManifest + std::wstring(L".sig")],
              "version=1.2.0forged");
}

TEST(UpdateCheck, AtStartupAnAcceptedUpdateStartsTheUpdaterAndEnds) {
    Rig rig;
    rig.host.Serve("version=1.1.1");
    rig.platform.answer = MessageAnswer::Yes;
    EXPECT_EQ(rig.check.CheckForUpdate(), Next::EndProcess);
    ASSERT_EQ(rig.platform.messages.size(), 1u);
    const Message& question = rig.platform.messages[0];
    EXPECT_EQ(question.text, L"发现有新版本，是否现在更新！");
    EXPECT_EQ(question.title, L"提示");
    EXPECT_EQ(question.icon, MessageIcon::Question);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(rig.host.calls.back(), L"write " + std::wstring(kUpdater));
    EXPECT_EQ(rig.platform.calls, (std::vector<std::wstring>{L"message", kStarted}));
    // The updater's folder holds the bytes just checked.
    EXPECT_EQ(rig.host.files[kRunFolder + L"update.txt"], "version=1.1.1");
}

TEST(UpdateCheck, ADeclinedOrFailedUpdateCarriesOn) {
    Rig declined;
    declined.host.Serve("version=1.1.9");
    EXPECT_EQ(declined.check.CheckForUpdate(), Next::Continue);
    EXPECT_EQ(declined.platform.calls, std::vector<std::wstring>{L"message"});
    EXPECT_EQ(declined.host.calls.size(), 2u); // nothing written

    ErrorCapture errors;
    Rig unwritable;
    unwritable.host.Serve("version=1.1.1");
    unwritable.platform.answer = MessageAnswer::Yes;
    unwritable.host.writeWorks = false;
    EXPECT_EQ(unwritable.check.CheckForUpdate(), Next::Continue);
    EXPECT_EQ(unwritable.platform.calls, std::vector<std::wstring>{L"message"});
    ASSERT_EQ(errors.logged.size(), 1u);
    EXPECT_NE(errors.logged[0].find(kRunFolder), std::wstring::npos);

    Rig unstartable;
    unstartable.host.Serve("version=1.1.1");
    unstartable.platform.answer = MessageAnswer::Yes;
    unstartable.platform.openWorks = false;
    EXPECT_EQ(unstartable.check.CheckForUpdate(), Next::Continue);
    EXPECT_EQ(unstartable.platform.calls.size(), 2u);
    EXPECT_EQ(errors.logged.size(), 2u);
}

TEST(UpdateCheck, FromTheMenu) {
    Rig latest;
    latest.host.Serve("version=1.1.0");
    EXPECT_EQ(latest.check.CheckForUpdateFromMenu(), UpdateCheck::MenuOutcome::KeepRunning);
    ASSERT_EQ(latest.platform.messages.size(), 1u);
    EXPECT_EQ(latest.platform.messages[0].text, L"当前版本已是最新，无需更新！");
    EXPECT_EQ(latest.platform.messages[0].title, L"提示");
    EXPECT_EQ(latest.platform.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(latest.platform.messages[0].buttons, MessageButtons::Ok);

    Rig nothing;
    nothing.host.Serve(
        "f|http://h/f.exe|aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa");
    EXPECT_EQ(nothing.check.CheckForUpdateFromMenu(), UpdateCheck::MenuOutcome::KeepRunning);
    EXPECT_TRUE(nothing.platform.calls.empty());

    Rig declined;
    declined.host.Serve("version=2.0.0");
    EXPECT_EQ(declined.check.CheckForUpdateFromMenu(), UpdateCheck::MenuOutcome::KeepRunning);
    EXPECT_EQ(declined.platform.calls, std::vector<std::wstring>{L"message"});

    Rig accepted;
    accepted.host.Serve("version=2.0.0");
    accepted.platform.answer = MessageAnswer::Yes;
    EXPECT_EQ(accepted.check.CheckForUpdateFromMenu(), UpdateCheck::MenuOutcome::CloseForUpdate);
    EXPECT_EQ(accepted.platform.calls.back(), kStarted);

    ErrorCapture errors;
    Rig failed;
    failed.host.Serve("version=2.0.0");
    failed.platform.answer = MessageAnswer::Yes;
    failed.platform.openWorks = false;
    EXPECT_EQ(failed.check.CheckForUpdateFromMenu(), UpdateCheck::MenuOutcome::KeepRunning);
    EXPECT_EQ(errors.logged.size(), 1u);
}

TEST(UpdateCheck, FileStemIsTheNameWithoutFolderAndExtension) {
    EXPECT_EQ(FileStem(L"D:\\Games\\Client\\client.exe"), L"client");
    EXPECT_EQ(FileStem(L"D:\\Games\\v1.2\\Tessaly.game.EXE"), L"Tessaly.game");
    EXPECT_EQ(FileStem(L"D:\\Games.d\\Tessaly"), L"Tessaly");
}
