#include "app/Manifest.h"

#include <gtest/gtest.h>

using namespace tessaly;

namespace {
std::wstring Version(std::wstring_view text) {
    return ManifestVersion(text).value_or(L"<none>");
}
} // namespace

TEST(Manifest, TheValueStartsAtTheNinthCharacterWhateverComesBefore) {
    EXPECT_EQ(Version(L"version=1.1.0"), L"1.1.0");
    EXPECT_EQ(Version(L"VERSION: 1.1.0"), L"1.1.0");
    EXPECT_EQ(Version(L"Version\t1.1.0"), L"1.1.0");
    EXPECT_EQ(Version(L"version=1.1.0   "), L"1.1.0");
    EXPECT_EQ(Version(L"version=\t1.1.0"), L"\t1.1.0"); // only spaces are trimmed
    // "version" anywhere in the line; the first eight characters go all the same.
    EXPECT_EQ(Version(L"# the version line follows"), L"rsion line follows");
    EXPECT_EQ(Version(L"newversion=2.0"), L"on=2.0");
    // Shorter than nine characters: an empty value.
    EXPECT_EQ(Version(L"version"), L"");
    EXPECT_EQ(Version(L"version="), L"");
    EXPECT_EQ(Version(L"版本version=1.1.0"), L"n=1.1.0"); // characters, not bytes
}

TEST(Manifest, OnlyTheFirstVersionLineCounts) {
    EXPECT_EQ(Version(L"a|http://x/a.dll|1\r\nversion=1.2.0\r\nversion=1.1.0\r\nb|http://x/b|2"),
              L"1.2.0");
    EXPECT_EQ(Version(L"; version of the files below\r\nversion=1.1.0"), L"n of the files below");
    EXPECT_EQ(Version(L"a|b|c\r\nd|e|f"), L"<none>");
    EXPECT_EQ(Version(L""), L"<none>");
    EXPECT_EQ(Version(L"\r\n\r\n"), L"<none>");
}

TEST(Manifest, LinesEndAtCrOrCrLfButNotAtALoneLf) {
    EXPECT_EQ(Version(L"x\rversion=1.1.0\rnext"), L"1.1.0");
    EXPECT_EQ(Version(L"x\r\nversion=1.1.0\r\nnext"), L"1.1.0");
    EXPECT_EQ(Version(L"x\r\n\nversion=1.1.0"), L"=1.1.0"); // the LF is the line's first character
    // An LF-only file is one line: the value runs to the end of the file.
    EXPECT_EQ(Version(L"version=1.1.0\na|b|c\n"), L"1.1.0\na|b|c\n");
    EXPECT_EQ(Version(L"version=1.1.0\r"), L"1.1.0");
}
