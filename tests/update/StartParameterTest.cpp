#include "update/StartParameter.h"

#include <gtest/gtest.h>

using namespace tessaly;

namespace {

const std::wstring kHash(64, L'a');
const std::wstring kTail = L"|4242|" + kHash;

} // namespace

TEST(StartParameter, ReadsWhatTheClientWrites) {
    EXPECT_FALSE(ParseStartParameter(L""));
    const std::wstring written =
        UpdaterParameters(L"D:\\Games\\Client", L"client", 4242, std::wstring(64, L'A'));
    EXPECT_EQ(written,
              L"D:\\Games\\Client|D:\\Games\\Client\\client.exe|4242|" + std::wstring(64, L'A'));
    const auto plain = ParseStartParameter(written);
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
    for (const std::wstring text :
         {L"D:\\Games\\Client|D:\\Games\\Client\\client.exe", L"d:\\games|D:\\Games\\TESSALY.EXE",
          L"D:\\|D:\\client.exe", L"\\\\srv\\share\\更新 1|\\\\srv\\share\\更新 1\\Tessaly.exe"}) {
        EXPECT_EQ(StartParameterProblem(*ParseStartParameter(text + kTail)), L"") << text + kTail;
        // The form without the process and the hash is no longer the client's.
        EXPECT_NE(StartParameterProblem(*ParseStartParameter(text)), L"") << text;
    }
    const std::wstring ok = L"C:\\G|C:\\G\\a.exe";
    for (const std::wstring& text :
         {L"\"\"" + kTail, L"Client|Client\\Tessaly.exe" + kTail,
          L"\\Client|\\Client\\Tessaly.exe" + kTail, L"C:Client|C:Client\\Tessaly.exe" + kTail,
          L"C:\\Games\\..\\Windows|C:\\Windows\\a.exe" + kTail,
          L"C:\\a\\\\b|C:\\a\\\\b\\a.exe" + kTail, L"\"C:\\G|C:\\G\\a.exe\"" + kTail,
          L"\\\\.\\C:\\G" + kTail, L"\\\\?\\C:\\G" + kTail, L"\\\\srv|\\\\srv\\a.exe" + kTail,
          L"C:\\G|C:\\Other\\Tessaly.exe" + kTail, L"C:\\G|C:\\Gx\\Tessaly.exe" + kTail,
          L"C:\\G|C:\\G\\sub\\Tessaly.exe" + kTail, L"C:\\G|C:\\G\\..\\a.exe" + kTail,
          L"C:\\G|C:\\G\\" + kTail, L"C:\\G|C:\\G\\notes.txt" + kTail, L"C:\\x" + kTail,
          // The process id: decimal, not 0, 32 bits, no sign or blank.
          ok + L"|0|" + kHash, ok + L"|042|" + kHash, ok + L"|-1|" + kHash, ok + L"| 1|" + kHash,
          ok + L"|4294967296|" + kHash, ok + L"||" + kHash,
          // The hash: 64 hex digits exactly, nothing after it.
          ok + L"|1|" + kHash.substr(1), ok + L"|1|" + kHash + L"0", ok + L"|1|g" + kHash.substr(1),
          ok + L"|1|" + kHash + L" ", ok + L"|1", ok + kTail + L"|"}) {
        EXPECT_NE(StartParameterProblem(*ParseStartParameter(text)), L"") << text;
    }
    EXPECT_EQ(ParseStartParameter(ok + L"|4294967295|" + kHash)->clientPid, 4294967295u);
}

TEST(StartParameter, OnlyAProgramInTheClientFolderStartsAfterTheUpdate) {
    const StartParameter parameter = *ParseStartParameter(L"C:\\G|C:\\G\\Tessaly.exe" + kTail);
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Tessaly.exe", L"C:\\G\\Tessaly.exe"}, {L"TESSALY.EXE", L"C:\\G\\TESSALY.EXE"},
        {L"Next.exe", L"C:\\G\\Next.exe"},       {L"data.dat", L"C:\\G\\Tessaly.exe"},
        {L"run.bat", L"C:\\G\\Tessaly.exe"},     {L"game.lnk", L"C:\\G\\Tessaly.exe"},
        {L"Update.exe", L"C:\\G\\Tessaly.exe"},  {L"..\\evil.exe", L"C:\\G\\Tessaly.exe"},
        {L"nul.exe", L"C:\\G\\Tessaly.exe"},     {L"", L"C:\\G\\Tessaly.exe"},
    };
    for (const auto& [last, started] : cases)
        EXPECT_EQ(ProgramToStart(parameter, last), started) << last;
}
