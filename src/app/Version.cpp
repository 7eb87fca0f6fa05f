#include "app/Version.h"

#include "base/Text.h"

namespace tessaly {

std::wstring VersionText(const Version& version) {
    return DecimalText(version.major) + L"." + DecimalText(version.minor) + L"." +
           DecimalText(version.revision);
}

} // namespace tessaly
