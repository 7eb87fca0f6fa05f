#include "update/FileName.h"
#include "update/Manifest.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace tessaly;

namespace {

std::wstring VersionOf(std::wstring_view text) {
    return ParseManifest(text).version.value_or(L"<none>");
}

// What one file line after the version line becomes: "name hash", or the
// reason it is refused.
std::wstring FileLine(const std::wstring& line) {
    const Manifest manifest = ParseManifest(L"version=1.2.0\r\n" + line);
    if (manifest.refused.size() == 1 && manifest.files.empty())
        return L"refused: " + manifest.refused[0].reason;
    if (manifest.files.size() != 1 || !manifest.refused.empty()) return L"<not one line>";
    const ManifestFile& file = manifest.files[0];
    return file.localName + (file.sha256.empty() ? L"" : L" " + file.sha256);
}

const std::wstring kHash(64, L'a');
const std::wstring kHASH(64, L'A');

} // namespace

TEST(Manifest, TheVersionIsTheFirstMentionFromItsNinthCharacterWithoutBlanks) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"version=1.1.0", L"1.1.0"},
        {L"VERSION: 1.1.0", L"1.1.0"},
        {L"Version\t1.1.0", L"1.1.0"},
        {L"version=\t1.1.0 \t\x1a", L"1.1.0"},
        {L" \tversion=1.1.0", L"1.1.0"}, // the line's own blanks are not among the eight
        {L"# the version line follows", L"rsion line follows"},
        {L"newversion=2.0", L"on=2.0"},
        {L"version", L""},
        {L"version=", L""},
        {L"版本version=1.1.0", L"n=1.1.0"}, // characters, not bytes
        {L"a|http://x/a.dll\r\nversion=1.2.0\r\nversion=1.1.0", L"1.2.0"},
        {L"; version of the files below\r\nversion=1.1.0", L"n of the files below"},
        {L"x\rversion=1.1.0\rnext", L"1.1.0"},
        {L"x\r\n\nversion=1.1.0", L"1.1.0"},
        {L"version=1.1.0\na|b|c\n", L"1.1.0"}, // LF-only reads like CR LF
        {L"\x1a\r\nversion=1.1.0\r\n\x1a", L"1.1.0"},
        {L"a|b|c\r\nd|e|f", L"<none>"},
        {L"", L"<none>"},
        {L"\r\n \t\r\n\n", L"<none>"},
    };
    for (const auto& [text, version] : cases)
        EXPECT_EQ(VersionOf(text), version) << text;
}

TEST(Manifest, FileLinesAreReadOrRefusedWhole) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"Tessaly.exe|http://h/new/Tessaly.exe", L"refused: no SHA-256"},
        {L"data|http://h/pack.dat|" + kHASH, L"pack.dat " + kHash},
        {L"\tdata | http://h/pack.dat \t|\t" + kHash + L" \x1a", L"pack.dat " + kHash},
        {L"data|http://h/pack.dat||more", L"refused: no SHA-256"},
        // Later mentions of "version" are files like any other.
        {L"c|http://h/versions/1.2.0/Tessaly.exe|" + kHash, L"Tessaly.exe " + kHash},
        {L"comment Version 2", L"refused: no address"},
        {L"bare-name", L"refused: no address"},
        {L"x| \t|" + kHash, L"refused: no address"},
        {L"old|http://h/notes.txt|1", L"refused: the SHA-256 is not 64 hex digits"},
        {L"h|http://h/a.dat|sha256:" + kHash, L"refused: the SHA-256 is not 64 hex digits"},
        {L"h|http://h/a.dat|" + kHash.substr(1), L"refused: the SHA-256 is not 64 hex digits"},
        {L"h|http://h/a.dat|" + kHash.substr(1) + L"g",
         L"refused: the SHA-256 is not 64 hex digits"},
        {L"relative|files/a.dat", L"refused: not an http or https address"},
        {L"tabbed|http://h\tx/b.dat", L"refused: not an http or https address"},
    };
    for (const auto& [line, read] : cases)
        EXPECT_EQ(FileLine(line), read) << line;
}

TEST(Manifest, NamesThatReachOutsideTheFolderOrADeviceAreRefused) {
    for (const wchar_t* url :
         {L"http://h/", L"http://h/..", L"http://h/a\\..\\..\\evil.exe", L"http://h/x:y",
          L"http://h/Tessaly.exe:stream", L"http://h/CON", L"http://h/nul.txt",
          L"http://h/com1.dll", L"http://h/LPT9", L"http://h/x.exe.", L"http://h/a?b=c",
          L"http://h/x. ", L"http://h/COM\u00b9", L"http://h/lpt\u00b3.txt",
          L"http://h/com\u00b2.dll"}) {
        EXPECT_TRUE(FileLine(std::wstring(L"n|") + url).starts_with(L"refused: unsafe file name"))
            << url;
    }
    EXPECT_EQ(UnsafeNameReason(L"con.txt"), L"a reserved device name");
    for (const wchar_t* name : {L"console.dll", L"com10.dll", L"com\u2074.dll", L"客户端.exe"})
        EXPECT_EQ(UnsafeNameReason(name), L"") << name;
}

TEST(Manifest, LineEndsAndBlankLinesChangeNothing) {
    const Manifest crlf = ParseManifest(L"version=1.2.0\r\na|http://h/a.dll|" + kHash +
                                        L"\r\nx|y\r\nc|http://h/Tessaly.exe|" + kHash + L"\r\n");
    ASSERT_EQ(crlf.files.size(), 2u);
    ASSERT_EQ(crlf.refused.size(), 1u);
    EXPECT_EQ(crlf.refused[0].line, L"x|y");
    for (const std::wstring& text :
         {L"version=1.2.0\na|http://h/a.dll|" + kHash + L"\nx|y\nc|http://h/Tessaly.exe|" + kHash,
          L"\x1a\r\n version=1.2.0\r\r\n\ta|http://h/a.dll|" + kHash +
              L" \n\nx|y\rc|http://h/Tessaly.exe|" + kHash + L"\x1a"}) {
        const Manifest other = ParseManifest(text);
        EXPECT_EQ(other.version, crlf.version);
        ASSERT_EQ(other.files.size(), 2u);
        EXPECT_EQ(other.files[1].url, crlf.files[1].url);
        EXPECT_EQ(other.files[1].sha256, kHash);
        ASSERT_EQ(other.refused.size(), 1u);
        EXPECT_EQ(other.refused[0].line, L"x|y");
    }
}
