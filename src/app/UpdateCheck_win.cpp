#include <windows.h>

#include "app/UpdateCheck_win.h"

#include "app/OwnVersion_win.h"
#include "app/PublicData_win.h"
#include "base/CodePage_win.h"
#include "base/FileBytes_win.h"
#include "base/IniFile_win.h"
#include "resources/ResourceIds.h"
#include "shell/DownLoadFile_win.h"

namespace tessaly::win {

void WindowsUpdateHost::DownloadManifest(const std::wstring& url, const std::wstring& path) {
    QelDownLoadFile downloader = MakeDownLoadFile(limits_);
    static_cast<void>(downloader.DownLoadFile(url, path, true, false));
}

std::optional<std::wstring> WindowsUpdateHost::ReadText(const std::wstring& path) {
    const std::optional<std::string> bytes = ReadFileBytes(path, kManifestMaxBytes);
    if (!bytes) return std::nullopt;
    return FromSystemCodePage(*bytes);
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
