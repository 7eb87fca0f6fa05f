#pragma once
// The version check with the real download, signature check, files, run
// folder and updater resource.

#include "app/UpdateCheck.h"
#include "base/Config.h"
#include "shell/DownloadLimits.h"

namespace tessaly::win {

class StartupPrefetch;

class WindowsUpdateHost : public UpdateHost {
public:
    // Downloads take what `prefetch` fetched ahead, where it did.
    explicit WindowsUpdateHost(const DownloadLimits& limits, StartupPrefetch* prefetch = nullptr)
        : limits_(limits)
        , prefetch_(prefetch) {}
    std::optional<std::string> Download(const std::wstring& url) override;
    std::wstring SignatureProblem(std::string_view manifest, std::string_view signature) override;
    std::wstring Decode(std::string_view bytes) override;
    bool WriteHidden(const std::wstring& path, std::string_view bytes) override;
    bool WriteUpdater(const std::wstring& path) override;
    std::optional<std::wstring> MakeRunFolder(const std::wstring& parent) override;
    std::wstring Sha256Hex(std::string_view bytes) override;

private:
    DownloadLimits limits_;
    StartupPrefetch* prefetch_;
};

// The running client's version, folder and name, the temporary folder and the
// configured manifest address.
UpdateSettings ProgramUpdateSettings(const Config& config);

// The start-up run, for Startup's version-check callback, with the manifest
// `prefetch` fetched.
Next CheckForUpdate(Platform& platform, const Config& config, StartupPrefetch& prefetch);
// The menu run, for the main window.
UpdateCheck::MenuOutcome CheckForUpdateFromMenu(Platform& platform, const Config& config);

} // namespace tessaly::win
