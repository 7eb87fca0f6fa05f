// DLLs planted beside the client and the updater under the names of those
// they load, with Wine told to prefer such a DLL to its own (as Windows does
// for every DLL that is not a KnownDLL; tests/e2e/CMakeLists.txt sets
// WINEDLLOVERRIDES): a whole update runs, and none of them is ever loaded.

#include "e2e/ClientProcess_win.h"

#include "base/Text.h"
#include "shell/TestServer_win.h"
#include "update/UpdateFiles_win.h"
#include "updater/WinUpdateActions_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::e2e;

namespace {

const std::wstring kPlanted[] = {L"bcrypt",  L"comctl32", L"gdiplus",
                                 L"msimg32", L"version",  L"wininet"};

void Plant(const std::vector<std::wstring>& folders) {
    const std::wstring from = BuiltFile(TESSALY_PLANTED_RELATIVE) + L"\\";
    wchar_t overrides[512] = {};
    GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 512);
    for (const std::wstring& name : kPlanted) {
        // Without the override Wine would never load them, and the test would prove nothing.
        ASSERT_NE(std::wstring(overrides).find(name), std::wstring::npos);
        for (const std::wstring& folder : folders)
            ASSERT_TRUE(CopyFileW((from + name + L".dll").c_str(),
                                  (folder + name + L".dll").c_str(), FALSE));
    }
}

// Wine's own gdi32.dll imports version.dll (Windows' does not), so Wine maps
// a planted one into every program before its first instruction; that one
// the programs never use (TheClientReadsItsVersionWithTheSystemsDll).
void ExpectNoneLoaded(const std::wstring& folder) {
    for (const std::wstring& name : kPlanted) {
        if (name == L"version") continue;
        EXPECT_EQ(GetFileAttributesW((folder + name + L".dll.loaded").c_str()),
                  INVALID_FILE_ATTRIBUTES)
            << WideToUtf8(name);
    }
}

} // namespace

TEST(PlantedDlls, TheClientReadsItsVersionWithTheSystemsDll) {
    const Installation client("version=1.1.0\r\n");
    Plant({client.folder() + L"\\"});
    const ClientRun run = RunClient(client.Options(L"yes"));
    ASSERT_TRUE(run.ended);
    // Its own version is 1.1.0 (the planted DLL's answers would make it none):
    // no question, and the manifest came in through the system's WinINet.
    EXPECT_TRUE(run.log.empty());
    EXPECT_NE(GetFileAttributesW((client.temp() + L"update.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    ExpectNoneLoaded(client.folder() + L"\\");
}

TEST(PlantedDlls, NoneIsLoadedByTheClientOrTheUpdaterDuringAnUpdate) {
    const std::wstring hash = win::FileSha256Hex(TESSALY_NEXT_CLIENT);
    const Installation client("version=1.2.0\r\nTessaly.exe|" + WideToUtf8(test::TestServer()) +
                              "files/Tessaly.exe|" + WideToUtf8(hash) + "\r\n");
    Plant({client.folder() + L"\\", client.temp()});
    ClientOptions options = client.Options(L"yes", L"2"); // the client and the updater
    options.timeoutMs = 60000;
    options.until = [](const ClientRun& run) { return run.log.size() >= 4; };
    const ClientRun run = RunClient(options);
    win::WaitForProgramExit(client.exe(), 20000);
    ExpectNoneLoaded(client.folder() + L"\\");
    ExpectNoneLoaded(client.temp());
    // The client asked, the updater downloaded, checked and placed the new client.
    ASSERT_EQ(run.log.size(), 4u) << WideToUtf8(run.log.empty() ? L"" : run.log.back());
    EXPECT_EQ(run.log[2], L"message\t提示\t软件已升至最新版本！");
}
