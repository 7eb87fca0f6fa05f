#include "update/Manifest.h"

#include "base/Config.h"
#include "base/Text.h"
#include "update/FileName.h"
#include "update/UpdateJournal.h"

#include <algorithm>

namespace tessaly {
namespace {

constexpr std::size_t kSkippedPrefix = 8;
constexpr std::wstring_view kBlanks = L" \t\r\n\x1a";

bool MentionsVersion(std::wstring_view line) {
    return AsciiLower(line).find(L"version") != std::wstring::npos;
}

// Why a file line cannot be applied, or empty when `file` now holds it.
std::wstring ReadFileLine(std::wstring_view line, ManifestFile& file) {
    const std::vector<std::wstring_view> fields = SplitAt(line, L'|');
    if (fields.size() < 2 || TrimBlanks(fields[1]).empty()) return L"no address";
    file.url = TrimBlanks(fields[1]);
    // Only what the downloader can fetch: control characters or a missing
    // scheme would reach WinINet as some other address.
    if (!IsAbsoluteHttpUrl(file.url)) return L"not an http or https address";
    file.localName = LocalNameOf(file.url);
    if (const std::wstring reason = UnsafeNameReason(file.localName); !reason.empty())
        return L"unsafe file name (" + reason + L")";
    if (IsUpdateWorkName(file.localName)) return L"a name the updater keeps for its own files";
    // The signature covers the manifest only; the hash carries it to the file.
    const std::wstring_view hash = fields.size() > 2 ? TrimBlanks(fields[2]) : L"";
    if (hash.empty()) return L"no SHA-256";
    if (!IsSha256Hex(hash)) return L"the SHA-256 is not 64 hex digits";
    file.sha256 = AsciiLower(hash);
    return {};
}

} // namespace

bool IsSha256Hex(std::wstring_view text) {
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](wchar_t c) {
               return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') ||
                      (c >= L'A' && c <= L'F');
           });
}

std::wstring_view TrimBlanks(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::wstring_view> ManifestLines(std::wstring_view text) {
    std::vector<std::wstring_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of(L"\r\n"), text.size());
        if (const std::wstring_view line = TrimBlanks(text.substr(0, end)); !line.empty())
            lines.push_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

Manifest ParseManifest(std::wstring_view text) {
    Manifest manifest;
    for (const std::wstring_view line : ManifestLines(text)) {
        if (!manifest.version && MentionsVersion(line)) {
            const std::wstring_view value =
                line.size() > kSkippedPrefix ? line.substr(kSkippedPrefix) : std::wstring_view();
            manifest.version = std::wstring(TrimBlanks(value));
            continue;
        }
        ManifestFile file;
        std::wstring reason = ReadFileLine(line, file);
        // A folder holds one file of a name, whatever its letter case.
        const std::wstring name = AsciiLower(file.localName);
        if (reason.empty() && std::any_of(manifest.files.begin(), manifest.files.end(),
                                          [&](const ManifestFile& other) {
                                              return AsciiLower(other.localName) == name;
                                          }))
            reason = L"a second line for the same file";
        if (!reason.empty()) {
            manifest.refused.push_back({std::wstring(line), std::move(reason)});
        } else {
            manifest.files.push_back(std::move(file));
        }
    }
    return manifest;
}

std::wstring LocalNameOf(std::wstring_view url) {
    const auto slash = url.find_last_of(L'/');
    return std::wstring(slash == std::wstring_view::npos ? url : url.substr(slash + 1));
}

} // namespace tessaly
