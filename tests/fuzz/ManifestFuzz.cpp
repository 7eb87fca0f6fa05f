// The update manifest comes from a web server: the client reads its version
// line, the updater its file lines. No line may put a file outside the
// client's folder.

#include "FuzzInput.h"

#include "app/Manifest.h"
#include "updater/UpdateList.h"

using namespace tessaly;
using namespace tessaly::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = TextOf(data, size);
    if (const auto version = ManifestVersion(text)) {
        Require(version->find(L'\r') == std::wstring::npos, "a version value holds no CR");
        Require(TrimSpaces(std::wstring_view(*version)).size() == version->size(),
                "a version value has no outer spaces");
    }

    const std::wstring folder = L"C:\\Games\\Client\\";
    for (const UpdateFile& file : ReadUpdateList(text, folder).files) {
        Require(UnsafeNameReason(file.localName).empty(), "an accepted name is safe");
        Require(file.localName.find_first_of(L"\\/:") == std::wstring::npos,
                "an accepted name has no separator or colon");
        Require(file.target == folder + file.localName, "a target lies in the client's folder");
        Require(file.sha256.empty() || file.sha256.size() == 64, "a hash is 64 digits or none");
    }
    return 0;
}
