#include "update/FileName.h"

#include "base/Text.h"

#include <algorithm>
#include <array>

namespace tessaly {
namespace {

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

} // namespace

std::vector<std::wstring_view> SplitAt(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring_view> fields;
    for (;;) {
        const auto at = text.find(separator);
        fields.push_back(text.substr(0, at));
        if (at == std::wstring_view::npos) return fields;
        text.remove_prefix(at + 1);
    }
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

bool IsAbsoluteFolder(std::wstring_view folder) {
    if (folder.empty() || folder.back() != L'\\') return false;
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
    const auto steps = SplitAt(rest, L'\\');   // the folder ends in "\": the last step is empty
    if (unc && steps.size() < 3) return false; // a server and a share at least
    return std::none_of(steps.begin(), steps.end() - 1, [](std::wstring_view step) {
        return step.empty() || step == L"." || step == L"..";
    });
}

} // namespace tessaly
