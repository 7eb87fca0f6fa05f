#include "e2e/ClientProcess_win.h"

#include "base/Text.h"
#include "shell/DownLoadFile_win.h"
#include "shell/TestServer_win.h"
#include "update/Cng_win.h"
#include "update/UpdateFiles_win.h"
#include "update/RunFolder_win.h"
#include "updater/WinUpdateActions_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::e2e;

namespace {

std::string ResourceBytes(const std::wstring& exe, int id, const wchar_t* type) {
    win::UniqueModule module(LoadLibraryExW(
        exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    HRSRC info = module ? FindResourceW(module.get(), MAKEINTRESOURCEW(id), type) : nullptr;
    if (!info) return {};
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module.get(), info)));
    return std::string(data, SizeofResource(module.get(), info));
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    win::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring Sha256Hex(const std::string& bytes) {
    return LowerHex(*win::Sha256Of(std::as_bytes(std::span(bytes))));
}

bool IsHidden(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
}

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

TEST(UpdateCheck, AManifestTheMakerDidNotSignOrTheUpdaterWouldRefuseOffersNothing) {
    const std::string newer = "version=1.1.1\r\n";
    // Tampered, another key's, missing, empty, the signature of other bytes;
    // and a signed one with a hostile line.
    const std::pair<std::string, const wchar_t*> cases[] = {
        {newer, L"tampered"},
        {newer, L"other"},
        {newer, L"none"},
        {newer, L"empty"},
        {newer, L"another"},
        {newer + "evil|http://127.0.0.1/game/..\\..\\evil.html|" + std::string(64, '0'), L"good"},
    };
    for (const auto& [manifest, signature] : cases) {
        const Installation client(manifest, signature);
        const ClientRun run = RunClient(client.Options(L"yes"));
        ASSERT_TRUE(run.ended) << WideToUtf8(signature);
        EXPECT_TRUE(run.log.empty()) << WideToUtf8(signature);
        ASSERT_FALSE(run.visibleWindowClasses.empty()) << WideToUtf8(signature);
        EXPECT_EQ(run.visibleWindowClasses[0], L"TessalyLoadFrm");
    }
}

TEST(UpdateCheck, AnAcceptedUpdateStartsTheUpdaterFromAFolderOfItsOwnAndEndsBeforeAnyWindow) {
    const std::string manifest = "version=1.1.1\r\n";
    const Installation client(manifest);
    const ClientRun run = RunClient(client.Options(L"yes"));
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.visibleWindowClasses.empty());

    // <temp>Tessaly-update-<16 hex>\Update.exe, with the client's folder,
    // path and process and the SHA-256 of the manifest it checked.
    ASSERT_EQ(run.log.size(), 2u);
    const std::wstring folder = run.log[1].substr(6, client.temp().size() + 32);
    EXPECT_TRUE(folder.starts_with(client.temp() + win::kRunFolderPrefix));
    EXPECT_EQ(run.log,
              (std::vector<std::wstring>{L"message\t提示\t发现有新版本，是否现在更新！",
                                         L"start\t" + folder + L"Update.exe\t" + client.folder() +
                                             L"|" + client.exe() + L"|" + std::to_wstring(run.pid) +
                                             L"|" + Sha256Hex(manifest)}));
    const std::string carried = ResourceBytes(client.exe(), 101, L"UPDATE");
    ASSERT_GT(carried.size(), 1000u);
    EXPECT_EQ(test::ReadWholeFile(folder + L"Update.exe"), carried);
    EXPECT_EQ(test::ReadWholeFile(folder + L"update.txt"), manifest);
}

namespace {

const std::wstring kQuestion = L"message\t提示\t发现有新版本，是否现在更新！";
const std::wstring kUpdated = L"message\t提示\t软件已升至最新版本！";
const std::wstring kQuitQuestion = L"message\t提示\t您是否要退出更新！";
const std::wstring kFailed = L"message\t提示\t更新未完成，已保留原版本！";

std::wstring VersionOf(const std::wstring& exe) {
    DWORD ignored = 0;
    std::vector<unsigned char> data(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (data.empty() ||
        !GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length))
        return {};
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." +
           std::to_wstring(LOWORD(info->dwFileVersionMS)) + L"." +
           std::to_wstring(LOWORD(info->dwFileVersionLS));
}

std::string Narrow(const std::wstring& text) {
    return WideToUtf8(text);
}

// The manifest of an update to the 1.2.0 client the build serves.
std::string ManifestTo120(const std::wstring& extraLines, const std::wstring& hash) {
    return "version=1.2.0\r\n" + Narrow(extraLines) + "Tessaly.exe|" + Narrow(test::TestServer()) +
           "files/Tessaly.exe" + (hash.empty() ? "" : "|" + Narrow(hash)) + "\r\n";
}

// The SHA-256 of the test server's /bytes/<count> body.
std::wstring PatternSha256(std::size_t count) {
    std::vector<std::byte> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::byte>(i % 251);
    return LowerHex(*win::Sha256Of(bytes));
}

bool Has(const ClientRun& run, const std::wstring& line) {
    return std::find(run.log.begin(), run.log.end(), line) != run.log.end();
}

std::size_t FilesIn(const std::wstring& folder) {
    std::size_t count = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

} // namespace

TEST(Update, From110To120EndsWithTheNewClientInTheFolderAndRunning) {
    const std::wstring hash = win::FileSha256Hex(TESSALY_NEXT_CLIENT);
    ASSERT_EQ(hash.size(), 64u);
    const Installation client(ManifestTo120(L"", hash));
    ClientOptions options = client.Options(L"yes", L"3"); // client, updater, new client
    const std::wstring started = L"start\t" + client.exe() + L"\t";
    options.timeoutMs = 60000;
    options.until = [&](const ClientRun& run) {
        // The new client shows its splash once it is up.
        return Has(run, started) &&
               std::count(run.visibleWindowClasses.begin(), run.visibleWindowClasses.end(),
                          L"TessalyLoadFrm") > 0;
    };
    const ClientRun run = RunClient(options);
    ASSERT_GE(run.log.size(), 4u) << Narrow(run.log.empty() ? L"" : run.log.back());
    EXPECT_EQ(run.log[0], kQuestion);
    EXPECT_TRUE(run.log[1].starts_with(L"start\t" + client.temp() + win::kRunFolderPrefix));
    EXPECT_EQ(run.log[2], kUpdated);
    EXPECT_EQ(run.log[3], started);
    EXPECT_TRUE(Has(run, started));
    EXPECT_EQ(VersionOf(client.exe()), L"1.2.0");
    // The updater showed its window; the new client ran (its splash); nothing is left over.
    EXPECT_NE(std::find(run.visibleWindowClasses.begin(), run.visibleWindowClasses.end(),
                        L"TessalyUpdateFrm"),
              run.visibleWindowClasses.end());
    win::WaitForProgramExit(client.exe(), 20000);
    EXPECT_EQ(FilesIn(client.folder()), 2u); // Tessaly.exe and Tessaly.ini
}

TEST(Update, CancellingDuringTheSecondOfThreeFilesLeavesEveryOldFile) {
    const std::wstring server = test::TestServer();
    const Installation client(
        ManifestTo120(L"a.dat|" + server + L"bytes/20000|" + PatternSha256(20000) + L"\r\nb.dat|" +
                          server + L"bytes/8000000|" + std::wstring(64, L'0') + L"\r\n",
                      win::FileSha256Hex(TESSALY_NEXT_CLIENT)));
    ClientOptions options =
        client.Options(L"yes", L"2"); // client, updater; the restarted client only logs
    options.environment.emplace_back(L"TESSALY_AUTOMATION_CANCEL_AT", L"2");
    options.timeoutMs = 60000;
    options.until = [&](const ClientRun& run) { return run.log.size() >= 6; };
    const ClientRun run = RunClient(options);
    ASSERT_EQ(run.log.size(), 6u);
    EXPECT_EQ(run.log[2], kQuitQuestion);
    EXPECT_EQ(run.log[3], L"start\t" + client.exe() + L"\t"); // the old client, started again
    EXPECT_EQ(run.log[4], kQuestion);                         // ... and it runs: it asks once more
    EXPECT_FALSE(Has(run, kUpdated));
    win::WaitForProgramExit(client.exe(), 20000);
    EXPECT_EQ(VersionOf(client.exe()), L"1.1.0");
    EXPECT_EQ(FilesIn(client.folder()), 2u);
}

TEST(Update, ABrokenUpdateSaysSoAndLeavesTheOldClientRunnable) {
    const std::string manifests[] = {
        ManifestTo120(L"", std::wstring(64, L'0')), // a wrong hash
        ManifestTo120(L"a.dat|" + test::TestServer() + L"files/missing.dat|" +
                          std::wstring(64, L'0') + L"\r\n",
                      win::FileSha256Hex(TESSALY_NEXT_CLIENT)), // a missing file
    };
    for (const std::string& manifest : manifests) {
        const Installation client(manifest);
        ClientOptions options = client.Options(L"yes", L"2");
        options.timeoutMs = 60000;
        options.until = [&](const ClientRun& run) { return run.log.size() >= 6; };
        const ClientRun run = RunClient(options);
        ASSERT_EQ(run.log.size(), 6u) << manifest;
        EXPECT_EQ(run.log[2], kFailed);
        EXPECT_EQ(run.log[3], L"start\t" + client.exe() + L"\t");
        EXPECT_EQ(run.log[4], kQuestion); // the old client started again
        win::WaitForProgramExit(client.exe(), 20000);
        EXPECT_EQ(VersionOf(client.exe()), L"1.1.0");
        EXPECT_EQ(FilesIn(client.folder()), 2u);
    }
}

TEST(Update, TheUpdaterActsOnlyOnTheManifestTheClientChecked) {
    // The updater in a folder of its own, beside a signed manifest no request may follow.
    const Installation client("version=1.1.0\r\n");
    const std::wstring folder = win::CreateRunFolder(client.temp()).value();
    const std::wstring updater = folder + L"Update.exe";
    WriteBytes(updater, ResourceBytes(client.exe(), 101, L"UPDATE"));
    const std::string never = "files/never-" + std::to_string(GetTickCount64()) + ".exe";
    const std::string manifest = "version=1.2.0\r\nTessaly.exe|" + Narrow(test::TestServer()) +
                                 never + "|" + std::string(64, '0') + "\r\n";
    const std::wstring address = test::SignedAddress(manifest);
    WriteBytes(folder + L"update.txt", manifest);
    WriteBytes(folder + L"update.txt.sig",
               win::DownloadBytes(address + L".sig", DownloadLimits{}).value_or(""));
    const std::wstring checked = client.folder() + L"|" + client.exe() + L"|" +
                                 std::to_wstring(GetCurrentProcessId()) + L"|";
    // Parameters the client never passes end it at once: no window, no request.
    for (const std::wstring& parameter :
         {std::wstring(L"\"\""), std::wstring(L"Client|Client\\Tessaly.exe"),
          client.folder() + L"|C:\\windows\\notepad.exe", client.folder() + L"|" + client.exe(),
          checked}) {
        ClientOptions options = client.Options(L"yes");
        options.exe = updater;
        options.arguments = parameter;
        const ClientRun run = RunClient(options);
        ASSERT_TRUE(run.ended) << Narrow(parameter);
        EXPECT_EQ(run.exitCode, 1u) << Narrow(parameter);
        EXPECT_TRUE(run.visibleWindowClasses.empty()) << Narrow(parameter);
        EXPECT_TRUE(run.log.empty()) << Narrow(parameter);
    }
    // The client's parameter, but update.txt is not the bytes it checked
    // (their SHA-256 differs), signed though it is: the failure box, the old
    // client again, and still no request.
    ClientOptions options = client.Options(L"yes");
    options.exe = updater;
    options.arguments = checked + Sha256Hex(manifest + " ");
    const ClientRun run = RunClient(options);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.log, (std::vector<std::wstring>{kFailed, L"start\t" + client.exe() + L"\t"}));
    EXPECT_EQ(test::TestServerLog().find(never), std::string::npos);
}

// As a killed updater leaves the folder: the journal, one file replaced with
// its old bytes kept aside, the new client staged (or, complete, in place),
// a partial download. The
// client's next start puts the old files back, or completes the update when
// every new file already stands; either way nothing else is left.
TEST(Update, AnUpdateKilledHalfwayIsFinishedByTheNextStart) {
    const std::string oldData = "old data", newData = "new data";
    for (const bool complete : {false, true}) {
        const Installation client("version=1.1.0\r\n");
        const std::wstring folder = client.folder() + L"\\";
        const std::wstring clientHash = win::FileSha256Hex(client.exe());
        WriteBytes(folder + L"a.dat", newData);
        WriteBytes(folder + L"a.dat.update-old", oldData);
        WriteBytes(folder + L"b.dat.update-new.99-0.part", "part");
        if (complete) WriteBytes(folder + L"b.dat", "b");
        WriteBytes(folder + L"Tessaly.exe.update-new", test::ReadWholeFile(TESSALY_NEXT_CLIENT));
        const auto hashOf = [](const std::string& bytes) {
            return LowerHex(*win::Sha256Of(std::as_bytes(std::span(bytes))));
        };
        // Complete: the client that stands is the journal's new one.
        const std::wstring clientNew =
            complete ? clientHash : win::FileSha256Hex(TESSALY_NEXT_CLIENT);
        WriteBytes(
            folder + kJournalName,
            JournalText({{L"a.dat", hashOf(oldData), hashOf(newData)},
                         {L"b.dat", std::nullopt, hashOf("b")},
                         {L"Tessaly.exe", complete ? hashOf("old") : clientHash, clientNew}}));
        // And the folders earlier updates ran from go, unless someone else's file is inside.
        const std::wstring done = client.temp() + L"Tessaly-update-0123456789abcdef\\";
        const std::wstring kept = client.temp() + L"Tessaly-update-fedcba9876543210\\";
        CreateDirectoryW(done.c_str(), nullptr);
        CreateDirectoryW(kept.c_str(), nullptr);
        WriteBytes(done + L"update.txt", "version=1.2.0\r\n");
        WriteBytes(kept + L"notes.txt", "mine");
        const ClientRun run = RunClient(client.Options(L"yes"));
        ASSERT_TRUE(run.ended) << complete;
        EXPECT_EQ(GetFileAttributesW(done.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(test::ReadWholeFile(kept + L"notes.txt"), "mine");
        EXPECT_EQ(test::ReadWholeFile(folder + L"a.dat"), complete ? newData : oldData);
        EXPECT_EQ(win::FileSha256Hex(client.exe()), clientHash);
        // The client, its settings, a.dat, and b.dat when the update stands.
        EXPECT_EQ(FilesIn(client.folder()), complete ? 4u : 3u) << complete;
    }
}
