#pragma once

#include "app/Version.h"

namespace tessaly::win {

// Read from the VERSIONINFO of the running executable. Its FILEVERSION is
// major, minor, 0, revision; all zero when the resource is missing.
Version OwnVersion();

} // namespace tessaly::win
