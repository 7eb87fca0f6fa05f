#pragma once
// Applying an update so that the player is never left without a working
// client (update/UpdateJournal.h has the scheme): every file is first
// downloaded beside its target and checked against the SHA-256 the manifest
// gives; only when all have arrived, and the client has ended, do they
// replace their targets, the client's executable last. A failed or cancelled
// download, or a manifest with a refused line, replaces nothing.

#include "update/Manifest.h"
#include "update/UpdateJournal.h"

#include <string>
#include <string_view>

namespace tessaly {

class UpdateActions {
public:
    virtual ~UpdateActions() = default;
    virtual void Downloading(const ManifestFile& file) = 0;
    // False when the download failed or was stopped; a failure leaves no file.
    virtual bool Download(const ManifestFile& file, const std::wstring& path) = 0;
    virtual bool Cancelled() = 0;
    // False when the client is still running after a bounded wait.
    virtual bool WaitForClientExit() = 0;
};

enum class UpdateOutcome {
    Updated,
    NothingToDo,
    Cancelled,
    Failed,      // the old files are back
    NotRestored, // some old file could not be put back; the next start tries again
};

// Brings the files of `manifest` into `folder` (ending in "\"), where the
// client's executable is `clientName`.
UpdateOutcome RunUpdate(const Manifest& manifest, const std::wstring& folder,
                        std::wstring_view clientName, UpdateFiles& files, UpdateActions& actions);

} // namespace tessaly
