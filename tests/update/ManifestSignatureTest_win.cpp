#include "update/ManifestSignature_win.h"

#include "shell/TestServer_win.h"

#include <gtest/gtest.h>

using namespace tessaly;

namespace {

// Signed by tools/publish.sh at build time (tests/update/CMakeLists.txt): dev/
// with the development key, other/ the same bytes with another key, older/
// another manifest.
std::string Signed(const wchar_t* name) {
    return test::ReadWholeFile(std::wstring(TESSALY_SIGNED) + name);
}
const std::string kManifest = Signed(L"dev/update.txt");
const std::string kSignature = Signed(L"dev/update.txt.sig");

std::wstring Problem(const std::string& manifest, const std::string& signature) {
    return win::ManifestSignatureProblem(manifest, signature);
}

} // namespace

TEST(ManifestSignature, OnlyTheBuiltInKeysSignatureOfTheseVeryBytesIsAccepted) {
    const std::string byOther = Signed(L"other/update.txt.sig"),
                      ofOlder = Signed(L"older/update.txt.sig");
    ASSERT_EQ(Signed(L"other/update.txt"), kManifest);
    EXPECT_EQ(Problem(kManifest, kSignature), L"");
    EXPECT_EQ(Problem(Signed(L"older/update.txt"), ofOlder), L"");
    std::string changed = kManifest, flipped = kSignature;
    changed[changed.size() / 2] ^= 1;
    flipped.back() ^= 1;
    const std::pair<std::string, std::string> refused[] = {
        {changed, kSignature}, {kManifest + "\r\n", kSignature},
        {kManifest, flipped},  {kManifest, ""},
        {kManifest, byOther},  {kManifest, ofOlder}};
    for (const auto& [manifest, signature] : refused)
        EXPECT_NE(Problem(manifest, signature), L"") << manifest;
}
