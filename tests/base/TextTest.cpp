#include "base/Text.h"

#include <gtest/gtest.h>

using namespace tessaly;

TEST(Text, Utf8RoundTripsEveryPlane) {
    // ASCII, Chinese (BMP), and an emoji outside the BMP (a surrogate pair in UTF-16).
    const std::string utf8 = "Tessaly \xE5\xAE\xA2\xE6\x88\xB7\xE7\xAB\xAF \xF0\x9F\x8E\xAE";
    const std::wstring wide = Utf8ToWide(utf8);
    EXPECT_EQ(wide.substr(0, 8), L"Tessaly ");
    EXPECT_EQ(wide.substr(8, 3), L"\u5BA2\u6237\u7AEF");
    EXPECT_EQ(wide.size(), sizeof(wchar_t) == 2 ? 14u : 13u);
    EXPECT_EQ(WideToUtf8(wide), utf8);
    EXPECT_EQ(Utf8ToWide(""), L"");
}

TEST(Text, BrokenInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToWide("a\xFF"
                         "b"),
              L"a\uFFFD"
              L"b");
    EXPECT_EQ(Utf8ToWide("a\xE5\xAE"), L"a\uFFFD");   // truncated sequence
    EXPECT_EQ(Utf8ToWide("\xC0\xAF/"), L"\uFFFD/");   // overlong: one per sequence
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), L"\uFFFD"); // encoded surrogate
    if constexpr (sizeof(wchar_t) == 2) {
        const std::wstring lone(1, static_cast<wchar_t>(0xD800));
        EXPECT_EQ(WideToUtf8(lone + L"x"), "\xEF\xBF\xBDx");
    }
}

TEST(Text, CaseAndSpaceHelpersTouchOnlyAscii) {
    EXPECT_EQ(AsciiLower(L"VERSION: Ä"), L"version: Ä");
    EXPECT_EQ(AsciiLower(std::string("Version=1")), "version=1");
    EXPECT_TRUE(EqualsIgnoreAsciiCase(L"TabStyle", L"tabSTYLE"));
    EXPECT_FALSE(EqualsIgnoreAsciiCase(L"TabStyle", L"TabStyles"));
    EXPECT_EQ(TrimSpaces(std::wstring_view(L"  1.1.0 \t ")), L"1.1.0 \t");
    EXPECT_EQ(TrimSpaces(std::string_view("   ")), "");
}
