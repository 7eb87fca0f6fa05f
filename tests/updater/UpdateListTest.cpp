#include "updater/UpdateList.h"
#include "updater/UpdateRun.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace tessaly;

TEST(UpdateList, StartParameterCompletesTheFolder) {
    EXPECT_FALSE(ParseStartParameter(L""));
    const auto plain = ParseStartParameter(L"D:\\Games\\Client|D:\\Games\\Client\\client.exe");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->folder, L"D:\\Games\\Client\\");
    EXPECT_EQ(plain->clientExe, L"D:\\Games\\Client\\client.exe");
    EXPECT_EQ(ParseStartParameter(L"D:\\|D:\\client.exe")->folder, L"D:\\"); // used as it is
    EXPECT_EQ(ParseStartParameter(L"C:\\x")->clientExe, L"");
}

TEST(UpdateList, OnlyAnAbsoluteFolderWithTheClientInsideIsAccepted) {
    for (const wchar_t* text :
         {L"D:\\Games\\Client|D:\\Games\\Client\\client.exe", L"d:\\games|D:\\Games\\TESSALY.EXE",
          L"D:\\|D:\\client.exe", L"\\\\srv\\share\\更新 1|\\\\srv\\share\\更新 1\\Tessaly.exe",
          L"C:\\x"}) {
        EXPECT_EQ(StartParameterProblem(*ParseStartParameter(text)), L"") << text;
    }
    for (const wchar_t* text :
         {L"\"\"", L"Client|Client\\Tessaly.exe", L"\\Client|\\Client\\Tessaly.exe",
          L"C:Client|C:Client\\Tessaly.exe", L"C:\\Games\\..\\Windows|C:\\Windows\\a.exe",
          L"C:\\a\\\\b|C:\\a\\\\b\\a.exe", L"\"C:\\G|C:\\G\\a.exe\"", L"\\\\.\\C:\\G",
          L"\\\\?\\C:\\G", L"\\\\srv|\\\\srv\\a.exe", L"C:\\G|C:\\Other\\Tessaly.exe",
          L"C:\\G|C:\\Gx\\Tessaly.exe", L"C:\\G|C:\\G\\sub\\Tessaly.exe", L"C:\\G|C:\\G\\..\\a.exe",
          L"C:\\G|C:\\G\\", L"C:\\G|C:\\G\\notes.txt"}) {
        EXPECT_NE(StartParameterProblem(*ParseStartParameter(text)), L"") << text;
    }
}

TEST(UpdateList, FileLinesSkipVersionLinesInAnyCaseAndNameTheirTargets) {
    const std::wstring hash = L"|" + std::wstring(64, L'A');
    const std::wstring manifest =
        L"VERSION=1.2.0\r\nTessaly.exe|http://h/new/Tessaly.exe" + hash +
        L"\r\n"
        L"comment Version 2\r\n"
        L"data|http://h/pack.dat" +
        hash +
        L"\r\n"
        L"old|http://h/notes.txt|1\r\nbare-name\r\n\r\nreadme|http://h/readme.txt" +
        hash +
        L"\r\nunhashed|http://h/u.txt\r\n"
        L"relative|files/a.dat" +
        hash + L"\r\ntabbed|http://h\tx/b.dat" + hash;
    const UpdateList list = ReadUpdateList(manifest, L"C:\\Game\\");
    ASSERT_EQ(list.files.size(), 3u);
    EXPECT_EQ(list.files[0].target, L"C:\\Game\\Tessaly.exe");
    EXPECT_EQ(list.files[0].url, L"http://h/new/Tessaly.exe");
    EXPECT_EQ(list.files[1].sha256, std::wstring(64, L'a'));
    EXPECT_EQ(list.files[2].localName, L"readme.txt");
    // A hash that is none, none at all, no address, a relative one, and one
    // with a control character.
    ASSERT_EQ(list.refused.size(), 5u);
    EXPECT_EQ(list.refused[0].reason, L"no valid SHA-256");
    EXPECT_EQ(list.refused[1].line, L"bare-name");
    EXPECT_EQ(list.refused[2].reason, L"no valid SHA-256");
    EXPECT_EQ(list.refused[3].reason, L"not an http or https address");
    EXPECT_EQ(list.refused[4].reason, L"not an http or https address");
}

TEST(UpdateList, HostileNamesAreRefused) {
    for (const wchar_t* url :
         {L"http://h/", L"http://h/..", L"http://h/a\\..\\..\\evil.exe", L"C:evil.exe",
          L"http://h/Tessaly.exe:stream", L"http://h/CON", L"http://h/nul.txt",
          L"http://h/com1.dll", L"http://h/LPT9", L"http://h/x.exe.", L"http://h/a?b=c",
          L"http://h/ ", L"http://h/COM\u00b9", L"http://h/lpt\u00b3.txt",
          L"http://h/com\u00b2.dll"}) {
        const UpdateList list = ReadUpdateList(
            std::wstring(L"n|") + url + L"|" + std::wstring(64, L'0'), L"C:\\Game\\");
        EXPECT_TRUE(list.files.empty()) << url;
        EXPECT_EQ(list.refused.size(), 1u) << url;
    }
    EXPECT_EQ(UnsafeNameReason(L"con.txt"), L"a reserved device name");
    EXPECT_TRUE(UnsafeNameReason(L"console.dll").empty());
    EXPECT_TRUE(UnsafeNameReason(L"com10.dll").empty());
    EXPECT_TRUE(UnsafeNameReason(L"com\u2074.dll").empty()); // only one to three count
    EXPECT_TRUE(UnsafeNameReason(L"客户端.exe").empty());
}

namespace {

// A stand-in for SHA-256 that a manifest can name: the bytes' hex, padded to 64 digits.
std::wstring HashOf(const std::string& bytes) {
    std::wstring hex;
    for (const unsigned char c : bytes)
        hex += {L"0123456789abcdef"[c >> 4], L"0123456789abcdef"[c & 15]};
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

    void Downloading(const UpdateFile&) override {}
    bool Download(const UpdateFile& file, const std::wstring& path) override {
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

UpdateList ThreeFiles() {
    return ReadUpdateList(L"version=1.2.0\r\na|http://h/a.dll|" + HashOf("new a") +
                              L"\r\nb|http://h/b.dat|" + HashOf("new b") +
                              L"\r\nc|http://h/Tessaly.exe|" + HashOf("new client"),
                          L"C:\\G\\");
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
    EXPECT_EQ(RunUpdate(ThreeFiles(), actions, L"7"), UpdateOutcome::Updated);
    EXPECT_EQ(actions.files,
              (std::map<std::wstring, std::string>{{L"C:\\G\\a.dll", "new a"},
                                                   {L"C:\\G\\b.dat", "new b"},
                                                   {L"C:\\G\\Tessaly.exe", "new client"}}));
    FakeActions empty;
    EXPECT_EQ(RunUpdate(ReadUpdateList(L"version=1.2.0", L"C:\\G\\"), empty, L"7"),
              UpdateOutcome::NothingToDo);
}

TEST(UpdateRun, CancelFailureWrongHashOrARunningClientLeaveTheOldFiles) {
    FakeActions cancelled = Installed();
    cancelled.cancelBefore = 1; // during the second of three files
    EXPECT_EQ(RunUpdate(ThreeFiles(), cancelled, L"7"), UpdateOutcome::Cancelled);
    EXPECT_EQ(cancelled.downloads, 2); // the third is never fetched
    EXPECT_EQ(cancelled.files, kOld);

    FakeActions failed = Installed();
    failed.failing = {L"http://h/Tessaly.exe"};
    EXPECT_EQ(RunUpdate(ThreeFiles(), failed, L"7"), UpdateOutcome::Failed);
    EXPECT_EQ(failed.files, kOld);

    FakeActions wrongHash = Installed();
    const UpdateList hashed =
        ReadUpdateList(L"c|http://h/Tessaly.exe|" + std::wstring(64, L'0'), L"C:\\G\\");
    EXPECT_EQ(RunUpdate(hashed, wrongHash, L"7"), UpdateOutcome::Failed);
    EXPECT_EQ(wrongHash.files, kOld);

    // One refused line, wherever it stands, and not one file is fetched.
    for (const wchar_t* line : {L"x|http://h/a?b=c\r\n", L"bare-name\r\n", L"x|http://h/..\r\n"}) {
        FakeActions refused = Installed();
        const UpdateList list =
            ReadUpdateList(L"a|http://h/a.dll|" + HashOf("new a") + L"\r\n" + line +
                               L"c|http://h/Tessaly.exe|" + HashOf("new client"),
                           L"C:\\G\\");
        EXPECT_EQ(RunUpdate(list, refused, L"7"), UpdateOutcome::Failed) << line;
        EXPECT_EQ(refused.downloads, 0) << line;
        EXPECT_EQ(refused.files, kOld) << line;
    }

    FakeActions running = Installed();
    running.clientGone = false;
    EXPECT_EQ(RunUpdate(ThreeFiles(), running, L"7"), UpdateOutcome::Failed);
    EXPECT_EQ(running.files, kOld);
}

TEST(UpdateRun, AMoveThatFailsHalfwayPutsEveryOldFileBack) {
    FakeActions actions = Installed();
    actions.unmovable = {L"C:\\G\\Tessaly.exe.7-2.new"}; // the last replacement fails
    EXPECT_EQ(RunUpdate(ThreeFiles(), actions, L"7"), UpdateOutcome::Failed);
    EXPECT_EQ(actions.files, kOld);

    FakeActions locked = Installed();
    locked.unmovable = {L"C:\\G\\Tessaly.exe"}; // the old client cannot be set aside
    EXPECT_EQ(RunUpdate(ThreeFiles(), locked, L"7"), UpdateOutcome::Failed);
    EXPECT_EQ(locked.files, kOld);
}
