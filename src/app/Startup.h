#pragma once
// The decisions of the program's start, before any window shows: the network
// test, the version check, and the "/web" switch.

#include "shell/Platform.h"
#include "base/CommandLine.h"
#include "base/Config.h"

#include <functional>
#include <string_view>

namespace tessaly {

enum class Next { Continue, EndProcess };

// Exactly "/web", case-sensitive; anything else is not the switch.
bool IsWebSwitch(std::wstring_view arguments);

class Startup {
public:
    using VersionCheck = std::function<Next()>;
    Startup(Platform& platform, const Config& config, VersionCheck checkForUpdate);

    // Offline: the connection message, then the end. Otherwise the version
    // check runs to completion; it may end the process (an accepted update).
    Next Initialize();
    // "/web" opens the maker's home page in the default browser and ends.
    Next HandleArguments(std::wstring_view arguments);

private:
    Platform& platform_;
    const Config& config_;
    VersionCheck checkForUpdate_;
};

} // namespace tessaly
