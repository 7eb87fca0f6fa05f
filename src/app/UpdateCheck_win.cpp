#include <windows.h>

#include "app/UpdateCheck_win.h"

#include "app/OwnVersion_win.h"
#include "app/PublicData_win.h"
#include "app/StartupPrefetch_win.h"
#include "base/CodePage_win.h"
#include "base/FileBytes_win.h"
#include "base/IniFile_win.h"
#include "base/Text.h"
#include "resources/ResourceIds.h"
#include "shell/DownLoadFile_win.h"
#include "update/Cng_win.h"
#include "update/ManifestSignature_win.h"
#include "update/RunFolder_win.h"

namespace tessaly::win {

std::optional<std::string> WindowsUpdateHost::Download(const std::wstring& url) {
    std::optional<std::string> body;
    if (prefetch_ && prefetch_->TakeDownload(url, body)) return body;
    return DownloadBytes(url, limits_);
}

std::wstring WindowsUpdateHost::SignatureProblem(std::string_view manifest,
                                                 std::string_view signature) {
    return ManifestSignatureProblem(manifest, signature);
}

std::wstring WindowsUpdateHost::Decode(std::string_view bytes) {
    return FromSystemCodePage(bytes);
}

bool WindowsUpdateHost::WriteHidden(const std::wstring& path, std::string_view bytes) {
    return WriteFileBytes(path, bytes, true);
}

bool WindowsUpdateHost::WriteUpdater(const std::wstring& path) {
    return SaveResToFile(IDR_UPDATER, L"UPDATE", path);
}

std::optional<std::wstring> WindowsUpdateHost::MakeRunFolder(const std::wstring& parent) {
    return CreateRunFolder(parent);
}

std::wstring WindowsUpdateHost::Sha256Hex(std::string_view bytes) {
    const auto digest = Sha256Of(std::as_bytes(std::span(bytes)));
    return digest ? LowerHex(*digest) : std::wstring();
}

UpdateSettings ProgramUpdateSettings(const Config& config) {
    return {VersionText(OwnVersion()),
            config.manifest,
            GetTempDir(),
            ProgramFolder(),
            std::wstring(FileStem(ProgramPath())),
            GetCurrentProcessId()};
}

Next CheckForUpdate(Platform& platform, const Config& config, StartupPrefetch& prefetch) {
    WindowsUpdateHost host(ManifestLimits(config), &prefetch);
    return UpdateCheck(platform, host, ProgramUpdateSettings(config)).CheckForUpdate();
}

UpdateCheck::MenuOutcome CheckForUpdateFromMenu(Platform& platform, const Config& config) {
    WindowsUpdateHost host(ManifestLimits(config));
    return UpdateCheck(platform, host, ProgramUpdateSettings(config)).CheckForUpdateFromMenu();
}

} // namespace tessaly::win
