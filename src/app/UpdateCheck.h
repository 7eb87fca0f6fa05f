#pragma once
// The version check: fetch the update manifest, compare its version with the
// client's own, and offer the update when they differ. It runs at start-up,
// before any window shows, and from the main window's menu.
//
// The manifest is downloaded into the temporary folder and read from there
// whatever the download's result, so the file an earlier run fetched serves
// when the server cannot be reached. An accepted update writes the updater
// into the temporary folder and starts it with the client's folder and path;
// if either step fails the client carries on as if the player had said no:
// a player must never be left without a running client.

#include "shell/Platform.h"
#include "app/Startup.h"

#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// What the check needs besides messages and starting programs.
class UpdateHost {
public:
    virtual ~UpdateHost() = default;
    // Fetches the manifest into the file, hidden; a failure leaves the file as
    // it was.
    virtual void DownloadManifest(const std::wstring& url, const std::wstring& path) = 0;
    // The file's text decoded from the system code page; nullopt when there is
    // no such file (hidden ones count) or it cannot be read.
    virtual std::optional<std::wstring> ReadText(const std::wstring& path) = 0;
    // Writes the updater the client carries; false when it could not.
    virtual bool WriteUpdater(const std::wstring& path) = 0;
};

struct UpdateSettings {
    std::wstring ownVersion;    // VersionText of the running client
    std::wstring manifestUrl;   // Config::manifest
    std::wstring tempFolder;    // ends in a backslash
    std::wstring programFolder; // no trailing backslash except at a drive root
    std::wstring programName;   // the executable's name without its extension
};

// The file name of a path without its folder and its extension.
std::wstring_view FileStem(std::wstring_view path);

class UpdateCheck {
public:
    enum class MenuOutcome {
        KeepRunning,
        CloseForUpdate, // the updater runs: the main window confirms its exit and closes
    };

    UpdateCheck(Platform& platform, UpdateHost& host, UpdateSettings settings);

    // At start-up: silent unless there is an update to offer. EndProcess once
    // the updater has started, before any window shows.
    Next CheckForUpdate();
    // From the menu: also says so when the client is up to date.
    MenuOutcome CheckForUpdateFromMenu();

private:
    enum class Finding { NoVersion, Same, Different };
    Finding Compare();
    bool OfferAndStartUpdater();

    Platform& platform_;
    UpdateHost& host_;
    UpdateSettings settings_;
};

} // namespace tessaly
