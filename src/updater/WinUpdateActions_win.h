#pragma once
// What an update does on Windows: downloads through the client's downloader,
// SHA-256 through the system's hashing, files moved with MoveFileExW, and a
// bounded wait for the client that started the updater: for its process,
// then for any program run from its file.

#include "shell/QelDownLoadFile.h"
#include "updater/UpdateRun.h"

#include <functional>
#include <string>

namespace tessaly::win {

// The hex SHA-256 of a file's bytes; empty when it cannot be read.
std::wstring FileSha256Hex(const std::wstring& path);

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
    std::wstring Sha256Hex(const std::wstring& path) override { return FileSha256Hex(path); }
    bool Cancelled() override { return cancelled; }
    bool WaitForClientExit() override;
    bool Exists(const std::wstring& path) override;
    bool Move(const std::wstring& from, const std::wstring& to) override;
    void Delete(const std::wstring& path) override;
    void Log(const std::wstring& text) override;

private:
    QelDownLoadFile& downloader_;
    std::wstring clientExe_;
    unsigned long clientPid_;
};

} // namespace tessaly::win
