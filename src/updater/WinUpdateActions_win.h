#pragma once
// What an update does on Windows besides its file operations: downloads
// through the client's downloader and a bounded wait for the client that
// started the updater.

#include "shell/QelDownLoadFile.h"
#include "updater/UpdateRun.h"

#include <functional>
#include <string>

namespace tessaly::win {

// Waits until no process runs the given executable, at most timeoutMs; true
// when none does (or none did).
bool WaitForProgramExit(const std::wstring& exePath, unsigned long timeoutMs);

class WinUpdateActions : public UpdateActions {
public:
    WinUpdateActions(QelDownLoadFile& downloader, std::wstring clientExe);

    std::function<void(const ManifestFile&)> OnDownloading;
    bool cancelled = false;

    void Downloading(const ManifestFile& file) override {
        if (OnDownloading) OnDownloading(file);
    }
    bool Download(const ManifestFile& file, const std::wstring& path) override;
    bool Cancelled() override { return cancelled; }
    bool WaitForClientExit() override;

private:
    QelDownLoadFile& downloader_;
    std::wstring clientExe_;
};

} // namespace tessaly::win
