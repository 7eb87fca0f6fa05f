#include "e2e/ClientProcess_win.h"

#include "base/Text.h"
#include "shell/TestServer_win.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(test::ReadWholeFile(updater), carried);

    // The updater really ran, and got the folder's name whole.
    const std::wstring record = client.temp() + L"Update.args.txt";
    std::string arguments;
    for (int wait = 0; wait < 100 && arguments.empty(); ++wait, Sleep(100))
        arguments = test::ReadWholeFile(record);
    EXPECT_TRUE(Utf8ToWide(arguments).ends_with(L" " + parameters + L"\r\n")) << arguments;
}
