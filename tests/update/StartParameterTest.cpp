#include "update/StartParameter.h"

#include <gtest/gtest.h>

using namespace tessaly;

namespace {

const std::wstring kHash(64, L'a');
const std::wstring kTail = L"|4242|" + kHash;

} // namespace

TEST(StartParameter, ReadsWhatTheClientWrites) {
    EXPECT_FALSE(ParseStartParameter(L""));
    const auto plain = ParseStartParameter(
        UpdaterParameters(L"D:\\Games\\Client", L"client", 4242, std::wstring(64, L'A')));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->folder, L"D:\\Games\\Client\\");
    EXPECT_EQ(plain->clientExe, L"D:\\Games\\Client\\client.exe");
    EXPECT_EQ(plain->clientPid, 4242u);
    EXPECT_EQ(plain->manifestSha256, kHash);
    EXPECT_EQ(UpdaterParameters(L"D:\\", L"Tessaly", 1, kHash), L"D:\\|D:\\Tessaly.exe|1|" + kHash);
    EXPECT_EQ(ParseStartParameter(L"D:\\|D:\\client.exe")->folder, L"D:\\"); // used as it is
    EXPECT_EQ(ParseStartParameter(L"C:\\x")->clientExe, L"");
}

TEST(StartParameter, OnlyAnAbsoluteFolderWithTheClientInsideItsProcessAndHashIsAccepted) {
    for (const wchar_t* text :
         {L"D:\\Games\\Client|D:\\Games\\Client\\client.exe", L"d:\\games|D:\\Games\\TESSALY.EXE",
          L"D:\\|D:\\client.exe", L"\\\\srv\\share\\更新 1|\\\\srv\\share\\更新 1\\Tessaly.exe"}) {
        EXPECT_EQ(StartParameterProblem(*ParseStartParameter(text + kTail)), L"") << text;
        // Without the process and the hash it is not what the client passes.
        EXPECT_NE(StartParameterProblem(*ParseStartParameter(text)), L"") << text;
    }
    const std::wstring ok = L"C:\\G|C:\\G\\a.exe";
    for (const wchar_t* text :
         {L"\"\"", L"Client|Client\\Tessaly.exe", L"\\Client|\\Client\\Tessaly.exe",
          L"C:Client|C:Client\\Tessaly.exe", L"C:\\Games\\..\\Windows|C:\\Windows\\a.exe",
          L"C:\\a\\\\b|C:\\a\\\\b\\a.exe", L"\"C:\\G|C:\\G\\a.exe\"", L"\\\\.\\C:\\G",
          L"\\\\?\\C:\\G", L"\\\\srv|\\\\srv\\a.exe", L"C:\\G|C:\\Other\\Tessaly.exe",
          L"C:\\G|C:\\Gx\\Tessaly.exe", L"C:\\G|C:\\G\\sub\\Tessaly.exe", L"C:\\G|C:\\G\\..\\a.exe",
          L"C:\\G|C:\\G\\", L"C:\\G|C:\\G\\notes.txt", L"C:\\x"}) {
        EXPECT_NE(StartParameterProblem(*ParseStartParameter(text + kTail)), L"") << text;
    }
    // The process id decimal, not 0, 32 bits, no sign or blank; the hash 64 hex digits, last.
    for (const std::wstring& tail :
         {L"|0|" + kHash, L"|042|" + kHash, L"|-1|" + kHash, L"| 1|" + kHash,
          L"|4294967296|" + kHash, L"||" + kHash, L"|1|" + kHash.substr(1), L"|1|" + kHash + L"0",
          L"|1|g" + kHash.substr(1), L"|1|" + kHash + L" ", std::wstring(L"|1"), kTail + L"|"}) {
        EXPECT_NE(StartParameterProblem(*ParseStartParameter(ok + tail)), L"") << tail;
    }
}

TEST(StartParameter, OnlyAProgramInTheClientFolderStartsAfterTheUpdate) {
    const StartParameter parameter = *ParseStartParameter(L"C:\\G|C:\\G\\Tessaly.exe" + kTail);
    for (const wchar_t* last : {L"Tessaly.exe", L"TESSALY.EXE", L"Next.exe"})
        EXPECT_EQ(ProgramToStart(parameter, last), L"C:\\G\\" + std::wstring(last));
    for (const wchar_t* last :
         {L"data.dat", L"run.bat", L"game.lnk", L"Update.exe", L"..\\evil.exe", L"nul.exe", L""})
        EXPECT_EQ(ProgramToStart(parameter, last), L"C:\\G\\Tessaly.exe") << last;
}
