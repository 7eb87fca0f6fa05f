// The update manifest comes from a web server: the client reads its version
// line, the updater its file lines. No line may put a file outside the
// client's folder or in unchecked, and blanks or line ends may not change
// what the manifest means.

#include "FuzzInput.h"

#include "base/Config.h"
#include "update/FileName.h"
#include "update/Manifest.h"

using namespace tessaly;
using namespace tessaly::fuzz;

namespace {

bool IsLowerHex(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f');
}

bool SameReading(const Manifest& a, const Manifest& b) {
    if (a.version != b.version || a.files.size() != b.files.size() ||
        a.refused.size() != b.refused.size())
        return false;
    for (std::size_t i = 0; i < a.files.size(); ++i) {
        if (a.files[i].url != b.files[i].url || a.files[i].sha256 != b.files[i].sha256)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = TextOf(data, size);
    const Manifest manifest = ParseManifest(text);
    if (manifest.version) {
        Require(manifest.version->find_first_of(L"\r\n") == std::wstring::npos,
                "a version value is on one line");
        Require(TrimBlanks(*manifest.version).size() == manifest.version->size(),
                "a version value has no outer blanks");
    }
    const auto lines = ManifestLines(text);
    Require((manifest.version ? 1 : 0) + manifest.files.size() + manifest.refused.size() ==
                lines.size(),
            "every line is the version, a file or refused");
    for (const std::wstring_view line : lines)
        Require(!line.empty() && TrimBlanks(line).size() == line.size(), "lines are trimmed");

    for (const ManifestFile& file : manifest.files) {
        Require(UnsafeNameReason(file.localName).empty(), "an accepted name is safe");
        Require(file.localName.find_first_of(L"\\/:") == std::wstring::npos,
                "an accepted name has no separator or colon");
        Require(IsAbsoluteHttpUrl(file.url), "an accepted address is http or https");
        Require(file.sha256.empty() ||
                    (file.sha256.size() == 64 &&
                     std::all_of(file.sha256.begin(), file.sha256.end(), IsLowerHex)),
                "a hash is 64 lower-case hex digits or none");
    }

    // The same lines with other line ends and blank lines read the same.
    std::wstring rejoined = L"\x1a\n";
    for (const std::wstring_view line : lines)
        rejoined += L" " + std::wstring(line) + L"\t\r\n\r\n";
    Require(SameReading(ParseManifest(rejoined), manifest), "line ends change nothing");
    return 0;
}
