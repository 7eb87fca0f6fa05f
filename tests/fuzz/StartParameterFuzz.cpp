// The updater's start parameter arrives on its command line, where any
// program can put anything.

#include "FuzzInput.h"

#include "update/StartParameter.h"

#include <algorithm>

using namespace tessaly;
using namespace tessaly::fuzz;

namespace {

// What the updater may act on: an absolute folder without "." or ".." steps,
// a program directly inside it, the client's process and the manifest's hash.
void Accepted(const StartParameter& parameter) {
    const std::wstring& folder = parameter.folder;
    const bool drive = folder.size() >= 3 && folder[1] == L':' && folder[2] == L'\\';
    Require(drive || folder.starts_with(L"\\\\"), "an accepted folder is absolute");
    Require(folder.find(L"\\..\\") == std::wstring::npos &&
                folder.find(L"\\.\\") == std::wstring::npos,
            "an accepted folder has no . or .. step");
    Require(std::none_of(folder.begin(), folder.end(), [](wchar_t c) { return c < 0x20; }),
            "an accepted folder has no character below 32");
    Require(parameter.clientPid != 0, "an accepted parameter names the client's process");
    Require(parameter.manifestSha256.size() == 64 && parameter.manifestSha256.find_first_not_of(
                                                         L"0123456789abcdef") == std::wstring::npos,
            "an accepted parameter carries the manifest's SHA-256 in lower-case hex");
    const std::wstring name =
        parameter.clientExe.substr(std::min(folder.size(), parameter.clientExe.size()));
    Require(AsciiLower(parameter.clientExe.substr(0, folder.size())) == AsciiLower(folder),
            "an accepted client is in the folder");
    Require(!name.empty() && name.find_first_of(L"\\/:") == std::wstring::npos,
            "an accepted client is directly in the folder");
    Require(AsciiLower(name).ends_with(L".exe"), "an accepted client is a program");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = TextOf(data, size);
    const auto parameter = ParseStartParameter(text);
    Require(parameter.has_value() == !text.empty(), "only an empty parameter gives nothing");
    if (parameter) {
        Require(!parameter->folder.empty() && parameter->folder.back() == L'\\',
                "the folder ends with a backslash");
        Require(parameter->clientExe.find(L'|') == std::wstring::npos,
                "the client's name is one field");
        if (StartParameterProblem(*parameter).empty()) Accepted(*parameter);
    }
    return 0;
}
