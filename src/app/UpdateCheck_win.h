#pragma once
// The version check with the real download, files and updater resource.

#include "app/UpdateCheck.h"
#include "base/Config.h"
#include "shell/DownloadLimits.h"

namespace tessaly::win {

class WindowsUpdateHost : public UpdateHost {
public:
    explicit WindowsUpdateHost(const DownloadLimits& limits)
        : limits_(limits) {}
    void DownloadManifest(const std::wstring& url, const std::wstring& path) override;
    std::optional<std::wstring> ReadText(const std::wstring& path) override;
    bool WriteUpdater(const std::wstring& path) override;

private:
    DownloadLimits limits_;
};

// The running client's version, folder and name, the temporary folder and the
// configured manifest address.
UpdateSettings ProgramUpdateSettings(const Config& config);

// The start-up run, for Startup's version-check callback.
Next CheckForUpdate(Platform& platform, const Config& config);
// The menu run, for the main window.
UpdateCheck::MenuOutcome CheckForUpdateFromMenu(Platform& platform, const Config& config);

} // namespace tessaly::win
