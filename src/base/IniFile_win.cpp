#include <windows.h>

#include "base/IniFile_win.h"

#include <vector>

namespace tessaly::win {

std::wstring ProgramPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2); // long paths are truncated, not failed
    }
}

std::wstring ProgramFolder() {
    std::wstring path = ProgramPath();
    const auto slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return path;
    // "C:\client.exe" keeps "C:\"; elsewhere the separator goes.
    path.resize(slash == 2 && path[1] == L':' ? slash + 1 : slash);
    return path;
}

std::wstring ProgramFolderWithSeparator() {
    std::wstring folder = ProgramFolder();
    if (!folder.ends_with(L'\\')) folder += L'\\';
    return folder;
}

Config LoadConfigFromIni(const std::wstring& iniPath) {
    return LoadConfig(
        [&](std::wstring_view section, std::wstring_view key) -> std::optional<std::wstring> {
            const std::wstring s(section), k(key);
            // A sentinel that no real value holds tells "missing" from "empty".
            constexpr wchar_t kMissing[] = L"\x01missing\x01";
            std::vector<wchar_t> buffer(2048);
            const DWORD length =
                GetPrivateProfileStringW(s.c_str(), k.c_str(), kMissing, buffer.data(),
                                         static_cast<DWORD>(buffer.size()), iniPath.c_str());
            std::wstring value(buffer.data(), length);
            if (value == kMissing) return std::nullopt;
            return value;
        });
}

Config LoadProgramConfig() {
    return LoadConfigFromIni(ProgramFolder() + L"\\Tessaly.ini");
}

} // namespace tessaly::win
