#pragma once
// The client's own version text: major "." minor "." revision, each a decimal
// number without leading zeros.

#include <string>

namespace tessaly {

struct Version {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned revision = 0;
};

std::wstring VersionText(const Version& version);

} // namespace tessaly
