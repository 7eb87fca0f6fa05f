#include <windows.h>

#include "base/CodePage_win.h"
#include "base/Text.h"

#include <gtest/gtest.h>

using namespace tessaly;

TEST(CodePage, AsciiAndCodePageTextRoundTrip) {
    EXPECT_EQ(win::FromSystemCodePage(win::ToSystemCodePage(L"version=1.1.0|a/b.exe")),
              L"version=1.1.0|a/b.exe");
    EXPECT_EQ(win::ToSystemCodePage(L""), "");
    // Every character the system code page holds comes back unchanged.
    std::string all;
    for (int c = 0x20; c < 0x7F; ++c)
        all.push_back(static_cast<char>(c));
    EXPECT_EQ(win::ToSystemCodePage(win::FromSystemCodePage(all)), all);
}

TEST(CodePage, CharactersOutsideTheCodePageDegradeWithoutLosingTheRest) {
    // An emoji is in no single-byte or DBCS code page: it becomes the default
    // character, and the text around it survives.
    const std::wstring text = L"a\U0001F3AEb";
    const std::string narrow = win::ToSystemCodePage(text);
    ASSERT_GE(narrow.size(), 3u);
    EXPECT_EQ(narrow.front(), 'a');
    EXPECT_EQ(narrow.back(), 'b');
    EXPECT_NE(narrow.find('?'), std::string::npos);
}

TEST(CodePage, PortableUtf8AgreesWithThePlatform) {
    const std::string utf8 = "Tessaly \xE5\xAE\xA2\xE6\x88\xB7\xE7\xAB\xAF \xF0\x9F\x8E\xAE";
    wchar_t buffer[64] = {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), buffer, 64);
    EXPECT_EQ(Utf8ToWide(utf8), std::wstring(buffer, static_cast<std::size_t>(n)));
    EXPECT_EQ(WideToUtf8(std::wstring(buffer, static_cast<std::size_t>(n))), utf8);
}
