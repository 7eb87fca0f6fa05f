#include <windows.h>

#include "app/UpdateCheck_win.h"

#include "app/OwnVersion_win.h"
#include "app/PublicData_win.h"
#include "base/CodePage_win.h"
#include "base/Handles_win.h"
#include "base/IniFile_win.h"
#include "resources/ResourceIds.h"
#include "shell/DownLoadFile_win.h"

namespace tessaly::win {

void WindowsUpdateHost::DownloadManifest(const std::wstring& url, const std::wstring& path) {
    QelDownLoadFile downloader = MakeDownLoadFile(limits_);
    static_cast<void>(downloader.DownLoadFile(url, path, true, false));
}

std::optional<std::wstring> WindowsUpdateHost::ReadText(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    // A manifest is a few lines; anything past 16 MiB is not one.
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 16 * 1024 * 1024) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return std::nullopt;
    bytes.resize(read);
    return FromSystemCodePage(bytes);
}

bool WindowsUpdateHost::WriteUpdater(const std::wstring& path) {
    return SaveResToFile(IDR_UPDATER, L"UPDATE", path);
}

UpdateSettings ProgramUpdateSettings(const Config& config) {
    return {VersionText(OwnVersion()), config.manifest, GetTempDir(), ProgramFolder(),
            std::wstring(FileStem(ProgramPath()))};
}

Next CheckForUpdate(Platform& platform, const Config& config) {
    WindowsUpdateHost host(ManifestLimits(config));
    return UpdateCheck(platform, host, ProgramUpdateSettings(config)).CheckForUpdate();
}

UpdateCheck::MenuOutcome CheckForUpdateFromMenu(Platform& platform, const Config& config) {
    WindowsUpdateHost host(ManifestLimits(config));
    return UpdateCheck(platform, host, ProgramUpdateSettings(config)).CheckForUpdateFromMenu();
}

} // namespace tessaly::win
