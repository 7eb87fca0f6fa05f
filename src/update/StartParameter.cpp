#include "update/StartParameter.h"

#include "base/Text.h"
#include "update/FileName.h"
#include "update/Manifest.h"

#include <algorithm>

namespace tessaly {
namespace {

constexpr std::size_t kFields = 4;

// A process id as the client writes it: decimal digits, no sign, no blank,
// no leading zero; 0 for anything else.
std::uint32_t ProcessIdOf(std::wstring_view text) {
    if (text.empty() || text.size() > 10 || text.front() == L'0' ||
        !std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
        return 0;
    std::uint64_t value = 0;
    for (const wchar_t c : text)
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    return value > 0xffffffffu ? 0 : static_cast<std::uint32_t>(value);
}

bool IsProgramName(std::wstring_view name) {
    return UnsafeNameReason(name).empty() && AsciiLower(name).ends_with(L".exe");
}

} // namespace

std::wstring UpdaterParameters(std::wstring_view programFolder, std::wstring_view programName,
                               std::uint32_t pid, std::wstring_view manifestSha256) {
    std::wstring exe(programFolder);
    // At a drive root the folder already ends in its backslash.
    if (exe.empty() || exe.back() != L'\\') exe += L'\\';
    exe += programName;
    exe += L".exe";
    return std::wstring(programFolder) + L"|" + exe + L"|" + std::to_wstring(pid) + L"|" +
           std::wstring(manifestSha256);
}

std::optional<StartParameter> ParseStartParameter(std::wstring_view text) {
    if (text.empty()) return std::nullopt;
    const auto fields = SplitAt(text, L'|');
    StartParameter parameter;
    parameter.folder = fields[0];
    if (parameter.folder.empty() || parameter.folder.back() != L'\\') parameter.folder += L'\\';
    if (fields.size() > 1) parameter.clientExe = fields[1];
    // More fields than the client writes: none of them is taken at its word.
    if (fields.size() > kFields) return parameter;
    if (fields.size() > 2) parameter.clientPid = ProcessIdOf(fields[2]);
    if (fields.size() > 3 && IsSha256Hex(fields[3]))
        parameter.manifestSha256 = AsciiLower(fields[3]);
    return parameter;
}

std::wstring StartParameterProblem(const StartParameter& parameter) {
    if (!IsAbsoluteFolder(parameter.folder)) return L"the client folder is not an absolute path";
    const std::wstring_view exe = parameter.clientExe;
    const std::wstring_view folder = parameter.folder;
    // Both halves come from the same path, so only letter case may differ.
    if (exe.size() <= folder.size() ||
        AsciiLower(exe.substr(0, folder.size())) != AsciiLower(folder) ||
        !UnsafeNameReason(exe.substr(folder.size())).empty())
        return L"the client is not in the client folder";
    if (!IsProgramName(exe.substr(folder.size()))) return L"the client is not a program";
    if (parameter.clientPid == 0) return L"no client process id";
    // Without it the updater would act on whatever a manifest in its folder
    // says, not on what the client checked.
    if (parameter.manifestSha256.empty()) return L"no manifest SHA-256";
    return {};
}

std::wstring ProgramToStart(const StartParameter& parameter, std::wstring_view lastName) {
    if (IsProgramName(lastName) && AsciiLower(lastName) != L"update.exe")
        return parameter.folder + std::wstring(lastName);
    return parameter.clientExe;
}

} // namespace tessaly
