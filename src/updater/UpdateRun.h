#pragma once
// Applying an update so that the player is never left without a working
// client: every file is first downloaded next to its target under a staging
// name and checked against the SHA-256 the manifest gives; only
// when all have arrived, and the client has ended, do they replace their
// targets, each old file kept aside until all moves succeeded and put back
// if any fails. A failed or cancelled download, or a manifest with a refused
// line, replaces nothing.

#include "update/Manifest.h"

#include <string>

namespace tessaly {

class UpdateActions {
public:
    virtual ~UpdateActions() = default;
    virtual void Downloading(const ManifestFile& file) = 0;
    // False when the download failed or was stopped; a failure leaves no file.
    virtual bool Download(const ManifestFile& file, const std::wstring& path) = 0;
    virtual std::wstring Sha256Hex(const std::wstring& path) = 0;
    virtual bool Cancelled() = 0;
    // False when the client is still running after a bounded wait.
    virtual bool WaitForClientExit() = 0;
    virtual bool Exists(const std::wstring& path) = 0;
    // Moves a file to a name that is free; false when it cannot.
    virtual bool Move(const std::wstring& from, const std::wstring& to) = 0;
    virtual void Delete(const std::wstring& path) = 0;
    virtual void Log(const std::wstring& text) = 0;
};

enum class UpdateOutcome { Updated, NothingToDo, Cancelled, Failed };

// Brings the files of `manifest` into `folder` (ending in "\"); tag makes the
// staging and backup names unique to this run (a process id).
UpdateOutcome RunUpdate(const Manifest& manifest, const std::wstring& folder,
                        UpdateActions& actions, const std::wstring& tag);

} // namespace tessaly
