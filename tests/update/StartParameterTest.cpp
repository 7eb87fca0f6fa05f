#include "update/StartParameter.h"

#include <gtest/gtest.h>

using namespace tessaly;

TEST(StartParameter, TheFolderGetsItsBackslash) {
    EXPECT_FALSE(ParseStartParameter(L""));
    const auto plain = ParseStartParameter(L"D:\\Games\\Client|D:\\Games\\Client\\client.exe");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->folder, L"D:\\Games\\Client\\");
    EXPECT_EQ(plain->clientExe, L"D:\\Games\\Client\\client.exe");
    EXPECT_EQ(ParseStartParameter(L"D:\\|D:\\client.exe")->folder, L"D:\\"); // used as it is
    EXPECT_EQ(ParseStartParameter(L"C:\\x")->clientExe, L"");
}

TEST(StartParameter, OnlyAnAbsoluteFolderWithTheClientInsideIsAccepted) {
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
