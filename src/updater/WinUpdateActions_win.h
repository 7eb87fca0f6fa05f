#pragma once
// What an update does on Windows besides its file operations: downloads
// through the client's downloader and a bounded wait for the client that
// started the updater: for its process, then for any program run from its
// file.

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
    // clientPid: the client's process, waited for itself (0: by its path only).
    WinUpdateActions(QelDownLoadFile& downloader, std::wstring clientExe, unsigned long clientPid);

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
    unsigned long clientPid_;
};

} // namespace tessaly::win
