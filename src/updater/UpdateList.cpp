#include "updater/UpdateList.h"

#include "app/Manifest.h"
#include "base/Text.h"

#include <algorithm>
#include <array>

namespace tessaly {
namespace {

std::vector<std::wstring_view> Split(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring_view> fields;
    for (;;) {
        const auto at = text.find(separator);
        fields.push_back(text.substr(0, at));
        if (at == std::wstring_view::npos) return fields;
        text.remove_prefix(at + 1);
    }
}

bool IsReservedDeviceName(std::wstring_view name) {
    // Windows treats these as devices whatever extension follows ("nul.txt").
    const std::wstring base = AsciiLower(TrimSpaces(name.substr(0, name.find(L'.'))));
    static constexpr std::array<std::wstring_view, 6> kPlain = {L"con", L"prn",    L"aux",
                                                                L"nul", L"conin$", L"conout$"};
    if (std::find(kPlain.begin(), kPlain.end(), base) != kPlain.end()) return true;
    return base.size() == 4 && (base.starts_with(L"com") || base.starts_with(L"lpt")) &&
           base[3] >= L'0' && base[3] <= L'9';
}

// 64 hex digits, lower-cased; anything else is not a hash (older manifests may
// carry other text in that field).
std::wstring Sha256Field(std::wstring_view field) {
    field = TrimSpaces(field);
    if (field.size() != 64) return {};
    std::wstring hex = AsciiLower(field);
    const bool allHex = std::all_of(hex.begin(), hex.end(), [](wchar_t c) {
        return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f');
    });
    return allHex ? hex : std::wstring();
}

} // namespace

std::optional<StartParameter> ParseStartParameter(std::wstring_view text) {
    if (text.empty()) return std::nullopt;
    const auto fields = Split(text, L'|');
    StartParameter parameter;
    parameter.folder = fields[0];
    if (parameter.folder.empty() || parameter.folder.back() != L'\\') parameter.folder += L'\\';
    if (fields.size() > 1) parameter.clientExe = fields[1];
    return parameter;
}

std::wstring LocalNameOf(std::wstring_view url) {
    const auto slash = url.find_last_of(L'/');
    return std::wstring(slash == std::wstring_view::npos ? url : url.substr(slash + 1));
}

std::wstring UnsafeNameReason(std::wstring_view name) {
    if (TrimSpaces(name).empty()) return L"no file name";
    if (name == L"." || name.find(L"..") != std::wstring_view::npos)
        return L"a parent or current folder";
    if (name.find_first_of(L"\\/") != std::wstring_view::npos) return L"a path separator";
    if (name.find(L':') != std::wstring_view::npos) return L"a drive or stream colon";
    if (name.find_first_of(L"<>\"|?*") != std::wstring_view::npos ||
        std::any_of(name.begin(), name.end(), [](wchar_t c) { return c < 32; }))
        return L"a character file names cannot hold";
    // Windows drops trailing dots and blanks, which would make the name another one.
    if (name.back() == L'.' || name.back() == L' ') return L"a trailing dot or blank";
    if (IsReservedDeviceName(name)) return L"a reserved device name";
    return {};
}

UpdateList ReadUpdateList(std::wstring_view manifest, const std::wstring& folder) {
    UpdateList list;
    for (const std::wstring_view line : ManifestLines(manifest)) {
        if (IsVersionLine(line)) continue;
        const auto fields = Split(line, L'|');
        if (fields.size() < 2 || TrimSpaces(fields[1]).empty()) {
            if (!TrimSpaces(line).empty())
                list.refused.push_back({std::wstring(line), L"no address"});
            continue;
        }
        UpdateFile file;
        file.url = TrimSpaces(fields[1]);
        file.localName = LocalNameOf(file.url);
        if (const std::wstring reason = UnsafeNameReason(file.localName); !reason.empty()) {
            list.refused.push_back({std::wstring(line), L"unsafe file name (" + reason + L")"});
            continue;
        }
        file.target = folder + file.localName;
        if (fields.size() > 2) file.sha256 = Sha256Field(fields[2]);
        list.files.push_back(std::move(file));
    }
    return list;
}

} // namespace tessaly
