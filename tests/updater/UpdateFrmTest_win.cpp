#include <windows.h>

#include "base/Text.h"
#include "shell/DownLoadFile_win.h"
#include "shell/TestServer_win.h"
#include "update/Cng_win.h"
#include "updater/UpdateFrm_win.h"
#include "updater/UpdaterTexts.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;

namespace {

class RecordingPlatform : public Platform {
public:
    std::vector<std::wstring> messages, opened;
    std::function<void()> onMessage; // sees the window as the box finds it
    bool IsOnline() override { return true; }
    MessageAnswer ShowMessage(const Message& message) override {
        messages.push_back(message.text);
        if (onMessage) onMessage();
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    bool Open(const std::wstring&, const std::wstring&) override { return false; }
    bool Start(const std::wstring& program, const std::wstring&,
               const std::wstring& folder) override {
        opened.push_back(program + L" in " + folder);
        return true;
    }
};

void WriteFileText(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// A client folder with two old files, and the manifest in a temporary folder of its own.
class UpdateFrmTest : public ::testing::Test {
protected:
    UpdateFrmTest() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        root_ =
            std::wstring(temp) + L"tessaly_updater_" + std::to_wstring(GetTickCount64()) + L"\\";
        folder_ = root_ + L"客户端\\";
        CreateDirectoryW(root_.c_str(), nullptr);
        CreateDirectoryW(folder_.c_str(), nullptr);
        CreateDirectoryW((root_ + L"tmp").c_str(), nullptr);
        WriteFileText(folder_ + L"20000", "old data");
        WriteFileText(folder_ + L"1.html", "old page");
    }
    ~UpdateFrmTest() override { SetEnvironmentVariableW(L"TESSALY_AUTOMATION_CANCEL_AT", nullptr); }

    // The manifest and its signature as the client leaves them, signed by the test server.
    UpdateOutcome Update(const std::wstring& fileLines) {
        const std::wstring address =
            test::SignedAddress("version=1.2.0\r\n" + WideToUtf8(fileLines));
        const std::string manifest = Fetch(address);
        WriteFileText(root_ + L"tmp\\update.txt", manifest);
        WriteFileText(root_ + L"tmp\\update.txt.sig", Fetch(address + L".sig"));
        Config config;
        config.timeoutSeconds = 3;
        StartParameter parameter{folder_, folder_ + L"Tessaly.exe", 0, {}}; // no process waited for
        parameter.manifestSha256 = LowerHex(*Sha256Of(std::as_bytes(std::span(manifest))));
        UpdateFrm window(platform, config, parameter, root_ + L"tmp\\");
        platform.onMessage = [&] {
            wchar_t text[64] = {};
            GetWindowTextW(window.Label1().hwnd(), text, 64);
            labelText = text;
        };
        return window.Run();
    }
    std::string Content(const std::wstring& name) { return test::ReadWholeFile(folder_ + name); }
    // How the updater starts the client: itself, in its folder.
    std::wstring started() const { return folder_ + L"Tessaly.exe in " + folder_; }
    static std::string Fetch(const std::wstring& address) {
        return DownloadBytes(address, DownloadLimits{}).value_or("");
    }
    // A file line with the hash of what the server serves there.
    std::wstring Line(const std::wstring& path) {
        const std::string body = Fetch(test::TestServer() + path);
        return L"f|" + test::TestServer() + path + L"|" +
               LowerHex(*Sha256Of(std::as_bytes(std::span(body)))) + L"\r\n";
    }

    RecordingPlatform platform;
    std::wstring labelText; // Label1's window text when the last box showed
    std::wstring root_, folder_;
};

} // namespace

TEST_F(UpdateFrmTest, ACompleteUpdateReplacesTheFilesAndStartsTheLastOne) {
    EXPECT_EQ(Update(Line(L"bytes/20000") + Line(L"game/1.html")), UpdateOutcome::Updated);
    EXPECT_EQ(Content(L"20000").size(), 20000u);
    EXPECT_NE(Content(L"1.html").find("<title>"), std::string::npos);
    EXPECT_EQ(platform.messages, (std::vector<std::wstring>{texts::kUpdated}));
    // The last file is a page: the client starts, not the page's program.
    EXPECT_EQ(platform.opened, std::vector<std::wstring>{started()});
    EXPECT_EQ(labelText, L"正在下载：1.html"); // what screen readers read
}

TEST_F(UpdateFrmTest, CancellingDuringTheSecondOfThreeFilesKeepsEveryOldFile) {
    SetEnvironmentVariableW(L"TESSALY_AUTOMATION_CANCEL_AT", L"2");
    EXPECT_EQ(Update(Line(L"bytes/20000") + Line(L"bytes/4000000") + Line(L"game/1.html")),
              UpdateOutcome::Cancelled);
    EXPECT_EQ(Content(L"20000"), "old data");
    EXPECT_EQ(Content(L"1.html"), "old page");
    EXPECT_EQ(GetFileAttributesW((folder_ + L"4000000").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(platform.messages,
              (std::vector<std::wstring>{texts::kQuitUpdate})); // no success message
    EXPECT_EQ(platform.opened, std::vector<std::wstring>{started()});
}

TEST_F(UpdateFrmTest, AFailedOrRefusedUpdateReplacesNothingAndSaysSo) {
    const std::wstring hash = L"|" + std::wstring(64, L'0') + L"\r\n";
    const std::wstring hostile[] = {L"x|" + test::TestServer() + L"game/..\\..\\evil.html" + hash,
                                    L"y|" + test::TestServer() + L"bytes/20000?x" + hash,
                                    L"no address" + hash};
    for (const std::wstring& line : hostile) {
        EXPECT_EQ(Update(Line(L"bytes/20000") + line), UpdateOutcome::Failed);
        EXPECT_EQ(Content(L"20000"), "old data");
    }
    EXPECT_EQ(GetFileAttributesW((root_ + L"evil.html").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Update(Line(L"bytes/20000") + Line(L"game/missing.html")), UpdateOutcome::Failed);
    EXPECT_EQ(
        Update(L"f|" + test::TestServer() + L"bytes/20000|" + std::wstring(64, L'0') + L"\r\n"),
        UpdateOutcome::Failed);
    // No file line at all: the old client would only ask the same question again.
    EXPECT_EQ(Update(L""), UpdateOutcome::NothingToDo);
    EXPECT_EQ(Content(L"20000"), "old data");
    EXPECT_EQ(platform.messages, std::vector<std::wstring>(6, texts::kUpdateFailed));
    EXPECT_EQ(platform.opened, std::vector<std::wstring>(6, started()));
}
