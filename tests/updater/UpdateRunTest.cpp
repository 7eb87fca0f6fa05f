#include "updater/UpdateRun.h"

#include "base/Text.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace tessaly;

namespace {

const std::wstring kFolder = L"C:\\G\\";

// A stand-in for SHA-256 that a manifest can name: the bytes' hex, padded to 64 digits.
std::wstring HashOf(const std::string& bytes) {
    const std::wstring hex =
        LowerHex({reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()});
    return hex + std::wstring(64 - hex.size(), L'0');
}

// A folder of files in memory, with downloads that succeed unless told otherwise.
class FakeActions : public UpdateActions {
public:
    std::map<std::wstring, std::string> files;
    std::map<std::wstring, std::string> served; // url -> body
    std::set<std::wstring> failing;             // urls whose download fails
    std::set<std::wstring> unmovable;           // moves from these paths fail
    int cancelBefore = -1;                      // cancel while this download runs
    bool clientGone = true;
    int downloads = 0;
    bool cancelled = false;

    void Downloading(const ManifestFile&) override {}
    bool Download(const ManifestFile& file, const std::wstring& path) override {
        if (downloads++ == cancelBefore) {
            cancelled = true;
            return false;
        }
        if (failing.count(file.url)) return false;
        files[path] = served[file.url];
        return true;
    }
    std::wstring Sha256Hex(const std::wstring& path) override { return HashOf(files[path]); }
    bool Cancelled() override { return cancelled; }
    bool WaitForClientExit() override { return clientGone; }
    bool Exists(const std::wstring& path) override { return files.count(path) > 0; }
    bool Move(const std::wstring& from, const std::wstring& to) override {
        if (unmovable.count(from) || !files.count(from) || files.count(to)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    void Delete(const std::wstring& path) override { files.erase(path); }
    void Log(const std::wstring&) override {}
};

Manifest ThreeFiles() {
    return ParseManifest(L"version=1.2.0\r\na|http://h/a.dll|" + HashOf("new a") +
                         L"\r\nb|http://h/b.dat|" + HashOf("new b") +
                         L"\r\nc|http://h/Tessaly.exe|" + HashOf("new client"));
}

FakeActions Installed() {
    FakeActions actions;
    actions.files = {{L"C:\\G\\a.dll", "old a"}, {L"C:\\G\\Tessaly.exe", "old client"}};
    actions.served = {{L"http://h/a.dll", "new a"},
                      {L"http://h/b.dat", "new b"},
                      {L"http://h/Tessaly.exe", "new client"}};
    return actions;
}

const std::map<std::wstring, std::string> kOld = {{L"C:\\G\\a.dll", "old a"},
                                                  {L"C:\\G\\Tessaly.exe", "old client"}};

} // namespace

TEST(UpdateRun, ReplacesEveryFileOnlyOnceAllHaveArrived) {
    FakeActions actions = Installed();
    EXPECT_EQ(RunUpdate(ThreeFiles(), kFolder, actions, L"7"), UpdateOutcome::Updated);
    EXPECT_EQ(actions.files,
              (std::map<std::wstring, std::string>{{L"C:\\G\\a.dll", "new a"},
                                                   {L"C:\\G\\b.dat", "new b"},
                                                   {L"C:\\G\\Tessaly.exe", "new client"}}));
    FakeActions empty;
    EXPECT_EQ(RunUpdate(ParseManifest(L"version=1.2.0"), kFolder, empty, L"7"),
              UpdateOutcome::NothingToDo);
}

TEST(UpdateRun, CancelFailureWrongHashOrARunningClientLeaveTheOldFiles) {
    FakeActions cancelled = Installed();
    cancelled.cancelBefore = 1; // during the second of three files
    EXPECT_EQ(RunUpdate(ThreeFiles(), kFolder, cancelled, L"7"), UpdateOutcome::Cancelled);
    EXPECT_EQ(cancelled.downloads, 2); // the third is never fetched
    EXPECT_EQ(cancelled.files, kOld);

    FakeActions failed = Installed();
    failed.failing = {L"http://h/Tessaly.exe"};
    EXPECT_EQ(RunUpdate(ThreeFiles(), kFolder, failed, L"7"), UpdateOutcome::Failed);
    EXPECT_EQ(failed.files, kOld);

    FakeActions wrongHash = Installed();
    const Manifest hashed = ParseManifest(L"c|http://h/Tessaly.exe|" + std::wstring(64, L'0'));
    EXPECT_EQ(RunUpdate(hashed, kFolder, wrongHash, L"7"), UpdateOutcome::Failed);
    EXPECT_EQ(wrongHash.files, kOld);

    // One refused line, wherever it stands, and not one file is fetched.
    for (const wchar_t* line : {L"x|http://h/a?b=c\r\n", L"bare-name\r\n", L"x|http://h/..\r\n"}) {
        FakeActions refused = Installed();
        const Manifest list =
            ParseManifest(L"a|http://h/a.dll|" + HashOf("new a") + L"\r\n" + line +
                          L"c|http://h/Tessaly.exe|" + HashOf("new client"));
        EXPECT_EQ(RunUpdate(list, kFolder, refused, L"7"), UpdateOutcome::Failed) << line;
        EXPECT_EQ(refused.downloads, 0) << line;
        EXPECT_EQ(refused.files, kOld) << line;
    }

    FakeActions running = Installed();
    running.clientGone = false;
    EXPECT_EQ(RunUpdate(ThreeFiles(), kFolder, running, L"7"), UpdateOutcome::Failed);
    EXPECT_EQ(running.files, kOld);
}

TEST(UpdateRun, AMoveThatFailsHalfwayPutsEveryOldFileBack) {
    FakeActions actions = Installed();
    actions.unmovable = {L"C:\\G\\Tessaly.exe.7-2.new"}; // the last replacement fails
    EXPECT_EQ(RunUpdate(ThreeFiles(), kFolder, actions, L"7"), UpdateOutcome::Failed);
    EXPECT_EQ(actions.files, kOld);

    FakeActions locked = Installed();
    locked.unmovable = {L"C:\\G\\Tessaly.exe"}; // the old client cannot be set aside
    EXPECT_EQ(RunUpdate(ThreeFiles(), kFolder, locked, L"7"), UpdateOutcome::Failed);
    EXPECT_EQ(locked.files, kOld);
}
