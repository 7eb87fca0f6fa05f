#pragma once
// The version check: fetch the update manifest and its signature, and offer
// the update when a built-in key signed the manifest and its version is
// above the client's own. It runs at start-up, before any window shows, and
// from the main window's menu.
//
// Only the bytes just downloaded count: a failed download offers nothing,
// whatever an earlier run left in the temporary folder. The manifest and its
// signature are kept there (hidden). A version below the client's own is a
// stale copy on a cache in front of the server and counts as the same. An
// accepted update makes a folder of its own for this run in the temporary
// folder, writes the updater and exactly the manifest bytes that were checked
// (with their signature, which the updater checks again) into it, and starts
// the updater with the client's folder, path and process id and the
// manifest's SHA-256; if any step fails the client carries on as if the
// player had said no: a player must never be left without a running client.

#include "shell/Platform.h"
#include "app/Startup.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// What the check needs besides messages and starting programs.
class UpdateHost {
public:
    virtual ~UpdateHost() = default;
    // The whole body at the address, within the manifest's limits; nullopt
    // when the download failed.
    virtual std::optional<std::string> Download(const std::wstring& url) = 0;
    // Why the signature does not prove the manifest's bytes, or empty when a
    // built-in key accepts it.
    virtual std::wstring SignatureProblem(std::string_view manifest,
                                          std::string_view signature) = 0;
    // The manifest's bytes as text, in the system code page.
    virtual std::wstring Decode(std::string_view bytes) = 0;
    // Writes the bytes into a hidden file; false when it could not.
    virtual bool WriteHidden(const std::wstring& path, std::string_view bytes) = 0;
    // Writes the updater the client carries; false when it could not.
    virtual bool WriteUpdater(const std::wstring& path) = 0;
    // A new folder inside `parent` for one run of the updater, open to the
    // player alone (ending in a backslash); nullopt when it could not be made.
    virtual std::optional<std::wstring> MakeRunFolder(const std::wstring& parent) = 0;
    // The bytes' SHA-256 in lower-case hex; empty when it cannot be computed.
    virtual std::wstring Sha256Hex(std::string_view bytes) = 0;
};

struct UpdateSettings {
    std::wstring ownVersion;     // VersionText of the running client
    std::wstring manifestUrl;    // Config::manifest
    std::wstring tempFolder;     // ends in a backslash
    std::wstring programFolder;  // no trailing backslash except at a drive root
    std::wstring programName;    // the executable's name without its extension
    std::uint32_t processId = 0; // the running client's
};

// The file name of a path without its folder and its extension.
std::wstring_view FileStem(std::wstring_view path);

// Where the manifest's signature is: beside it, with ".sig" added.
std::wstring SignatureAddress(const std::wstring& manifestAddress);

class UpdateCheck {
public:
    enum class MenuOutcome {
        KeepRunning,
        CloseForUpdate, // the updater runs: the main window confirms its exit and
                        // closes, and the process ends with it
    };

    UpdateCheck(Platform& platform, UpdateHost& host, UpdateSettings settings);

    // At start-up: silent unless there is an update to offer. EndProcess once
    // the updater has started, before any window shows.
    Next CheckForUpdate();
    // From the menu: also says so when the client is up to date.
    MenuOutcome CheckForUpdateFromMenu();

private:
    enum class Finding { NoVersion, Unverified, Same, Higher };
    Finding Compare();
    bool OfferAndStartUpdater();

    Platform& platform_;
    UpdateHost& host_;
    UpdateSettings settings_;
    // What Compare downloaded and checked: the updater gets these bytes.
    std::string manifest_;
    std::string signature_;
};

} // namespace tessaly
