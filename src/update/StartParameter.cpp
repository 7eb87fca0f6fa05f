#include "update/StartParameter.h"

#include "base/Text.h"
#include "update/FileName.h"

namespace tessaly {

std::wstring UpdaterParameters(std::wstring_view programFolder, std::wstring_view programName) {
    std::wstring exe(programFolder);
    // At a drive root the folder already ends in its backslash.
    if (exe.empty() || exe.back() != L'\\') exe += L'\\';
    exe += programName;
    exe += L".exe";
    return std::wstring(programFolder) + L"|" + exe;
}

std::optional<StartParameter> ParseStartParameter(std::wstring_view text) {
    if (text.empty()) return std::nullopt;
    const auto fields = SplitAt(text, L'|');
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

} // namespace tessaly
