#pragma once
// How long a download may take and how much it may bring: a faulty or hostile
// server must neither hold the program nor fill its disk or memory.

#include "base/Config.h"

#include <cstdint>

namespace tessaly {

struct DownloadLimits {
    // Each connect, send and wait for data.
    int timeoutSeconds = 8;
    // The whole download, from the first request to the last byte, redirects included.
    int totalSeconds = 120;
    // The largest body taken; 0: only the announced length bounds it.
    std::uint64_t maxBytes = 0;
};

// A manifest is a few lines: anything larger is not one.
inline constexpr std::uint64_t kManifestMaxBytes = 64 * 1024;

// The manifest (and what comes with it): small, and within the usual time-out
// as a whole, since start-up waits for it before any window.
DownloadLimits ManifestLimits(const Config& config);
// The updater's files: [Network] TotalSeconds for each.
DownloadLimits FileLimits(const Config& config);

} // namespace tessaly
