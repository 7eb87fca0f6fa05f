#include "app/Version.h"

namespace tessaly {

std::wstring VersionText(const Version& version) {
    return std::to_wstring(version.major) + L"." + std::to_wstring(version.minor) + L"." +
           std::to_wstring(version.revision);
}

} // namespace tessaly
