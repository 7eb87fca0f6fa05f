#include "e2e/ClientProcess_win.h"

#include "base/Text.h"
#include "shell/TestServer_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::e2e;

namespace {

std::string ReadBytes(const std::wstring& path) {
    win::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string bytes(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

std::string ResourceBytes(const std::wstring& exe, int id, const wchar_t* type) {
    win::UniqueModule module(LoadLibraryExW(
        exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    HRSRC info = module ? FindResourceW(module.get(), MAKEINTRESOURCEW(id), type) : nullptr;
    if (!info) return {};
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module.get(), info)));
    return std::string(data, SizeofResource(module.get(), info));
}

bool IsHidden(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
}

// A copy of the client in a folder of its own, whose name the system code page
// cannot spell, with its own temporary folder and a Tessaly.ini that points
// the manifest at the local test server.
class Installation {
public:
    explicit Installation(std::string_view manifest) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        wchar_t full[MAX_PATH] = {};
        GetFullPathNameW(temp, MAX_PATH, full, nullptr);
        static int count = 0;
        folder_ = std::wstring(full) + L"Tessaly ŵ更新 " + std::to_wstring(GetCurrentProcessId()) +
                  L"-" + std::to_wstring(++count);
        temp_ = folder_ + L"\\tmp\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
        CreateDirectoryW(temp_.c_str(), nullptr);
        CopyFileW(ClientPath().c_str(), exe().c_str(), FALSE);
        const std::string ini =
            "[Addresses]\r\nManifest=" + WideToUtf8(test::TextAddress(manifest)) + "\r\n";
        win::UniqueHandle file(CreateFileW((folder_ + L"\\Tessaly.ini").c_str(), GENERIC_WRITE, 0,
                                           nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        WriteFile(file.get(), ini.data(), static_cast<DWORD>(ini.size()), &written, nullptr);
    }

    ~Installation() {
        // The updater may still be on its way out: a few tries.
        for (int attempt = 0; attempt < 50 && !Remove(); ++attempt)
            Sleep(100);
    }

    std::wstring exe() const { return folder_ + L"\\Tessaly.exe"; }
    const std::wstring& folder() const { return folder_; }
    const std::wstring& temp() const { return temp_; }

    ClientOptions Options(const wchar_t* answer) const {
        ClientOptions options;
        options.network = L"online";
        options.exe = exe();
        options.environment = {{L"TMP", temp_},
                               {L"TEMP", temp_},
                               {L"TESSALY_AUTOMATION_ANSWER", answer},
                               {L"TESSALY_AUTOMATION_START", L"run"}};
        // Should the login pair show, its page leaves at once.
        options.browserScript = L"on /client/\n complete 100\n navigate app://exitgame\n";
        return options;
    }

private:
    bool Remove() const {
        bool all = true;
        for (const std::wstring& folder : {temp_, folder_ + L"\\"}) {
            WIN32_FIND_DATAW found;
            HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
            if (search == INVALID_HANDLE_VALUE) continue;
            do {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                const std::wstring path = folder + found.cFileName;
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                all = DeleteFileW(path.c_str()) && all;
            } while (FindNextFileW(search, &found));
            FindClose(search);
            RemoveDirectoryW(folder.c_str());
        }
        return all;
    }

    std::wstring folder_;
    std::wstring temp_;
};

} // namespace

TEST(UpdateCheck, TheSameVersionGoesOnToTheSplashWithoutAQuestion) {
    const Installation client("updater.exe|http://127.0.0.1/u.exe|1\r\nversion=1.1.0\r\n");
    const ClientRun run = RunClient(client.Options(L"yes"));
    ASSERT_TRUE(run.ended);
    EXPECT_TRUE(run.log.empty());
    ASSERT_FALSE(run.visibleWindowClasses.empty());
    EXPECT_EQ(run.visibleWindowClasses[0], L"TessalyLoadFrm");
    EXPECT_TRUE(IsHidden(client.temp() + L"update.txt"));
    EXPECT_EQ(GetFileAttributesW((client.temp() + L"Update.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(UpdateCheck, AnAcceptedUpdateStartsTheUpdaterAndEndsBeforeAnyWindow) {
    const Installation client("version=1.1.1\r\n");
    const ClientRun run = RunClient(client.Options(L"yes"));
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.visibleWindowClasses.empty());

    const std::wstring updater = client.temp() + L"Update.exe";
    const std::wstring parameters = client.folder() + L"|" + client.folder() + L"\\Tessaly.exe";
    EXPECT_EQ(run.log, (std::vector<std::wstring>{L"message\t提示\t发现有新版本，是否现在更新！",
                                                  L"open\t" + updater + L"\t" + parameters}));
    const std::string carried = ResourceBytes(client.exe(), 101, L"UPDATE");
    ASSERT_GT(carried.size(), 1000u);
    EXPECT_EQ(ReadBytes(updater), carried);

    // The updater really ran, and got the folder's name whole.
    const std::wstring record = client.temp() + L"Update.args.txt";
    std::string arguments;
    for (int wait = 0; wait < 100 && arguments.empty(); ++wait, Sleep(100))
        arguments = ReadBytes(record);
    EXPECT_TRUE(Utf8ToWide(arguments).ends_with(L" " + parameters + L"\r\n")) << arguments;
}
