#include "shell/DownloadLimits.h"

namespace tessaly {

DownloadLimits ManifestLimits(const Config& config) {
    return {config.timeoutSeconds, config.timeoutSeconds, kManifestMaxBytes};
}

DownloadLimits FileLimits(const Config& config) {
    return {config.timeoutSeconds, config.totalSeconds, 0};
}

} // namespace tessaly
