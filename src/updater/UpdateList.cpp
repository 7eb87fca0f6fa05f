#include "updater/UpdateList.h"

#include "app/Manifest.h"
#include "base/Config.h"
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
    // The ports take a digit, and Windows counts the superscripts one to three as digits too.
    return base.size() == 4 && (base.starts_with(L"com") || base.starts_with(L"lpt")) &&
           ((base[3] >= L'0' && base[3] <= L'9') || base[3] == L'\u00b9' || base[3] == L'\u00b2' ||
            base[3] == L'\u00b3');
}

bool HasForbiddenCharacter(std::wstring_view text) {
    return text.find_first_of(L"<>\"|?*") != std::wstring_view::npos ||
           std::any_of(text.begin(), text.end(), [](wchar_t c) { return c < 32; });
}

// "X:\..." or "\\server\share\...", without "." or ".." steps or characters
// that no folder name holds: anything else would resolve against whatever the
// updater's current folder happens to be, or reach a device.
bool IsAbsoluteFolder(std::wstring_view folder) {
    std::wstring_view rest;
    bool unc = false;
    if (folder.size() >= 3 && folder[1] == L':' && folder[2] == L'\\' &&
        ((folder[0] >= L'a' && folder[0] <= L'z') || (folder[0] >= L'A' && folder[0] <= L'Z'))) {
        rest = folder.substr(3);
    } else if (folder.starts_with(L"\\\\")) {
        rest = folder.substr(2);
        unc = true;
    } else {
        return false;
    }
    if (rest.find_first_of(L":/") != std::wstring_view::npos || HasForbiddenCharacter(rest))
        return false;
    const auto steps = Split(rest, L'\\');     // the folder ends in "\": the last step is empty
    if (unc && steps.size() < 3) return false; // a server and a share at least
    return std::none_of(steps.begin(), steps.end() - 1, [](std::wstring_view step) {
        return step.empty() || step == L"." || step == L"..";
    });
}

// 64 hex digits, lower-cased; anything else is not a hash.
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

std::wstring StartParameterProblem(const StartParameter& parameter) {
    if (!IsAbsoluteFolder(parameter.folder)) return L"the client folder is not an absolute path";
    if (parameter.clientExe.empty()) return {};
    const std::wstring_view exe = parameter.clientExe;
    const std::wstring_view folder = parameter.folder;
    // Both halves come from the same path, so only letter case may differ.
    if (exe.size() <= folder.size() ||
        AsciiLower(exe.substr(0, folder.size())) != AsciiLower(folder) ||
        !UnsafeNameReason(exe.substr(folder.size())).empty())
        return L"the client is not in the client folder";
    if (!AsciiLower(exe).ends_with(L".exe")) return L"the client is not a program";
    return {};
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
    if (HasForbiddenCharacter(name)) return L"a character file names cannot hold";
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
        // Only what the downloader can fetch: control characters or a missing
        // scheme would reach WinINet as some other address.
        if (!IsAbsoluteHttpUrl(file.url)) {
            list.refused.push_back({std::wstring(line), L"not an http or https address"});
            continue;
        }
        file.localName = LocalNameOf(file.url);
        if (const std::wstring reason = UnsafeNameReason(file.localName); !reason.empty()) {
            list.refused.push_back({std::wstring(line), L"unsafe file name (" + reason + L")"});
            continue;
        }
        file.target = folder + file.localName;
        // The signature covers the manifest only; the hash carries it to the file.
        if (fields.size() > 2) file.sha256 = Sha256Field(fields[2]);
        if (file.sha256.empty()) {
            list.refused.push_back({std::wstring(line), L"no valid SHA-256"});
            continue;
        }
        list.files.push_back(std::move(file));
    }
    return list;
}

} // namespace tessaly
