#pragma once
// Starts Tessaly.exe for a whole-process test, in automation mode: message
// boxes and program starts go to a log file instead of the screen.

#include <windows.h>

#include "base/Handles_win.h"

#include <string>
#include <vector>

namespace tessaly::e2e {

struct ClientRun {
    DWORD exitCode = STILL_ACTIVE;
    bool ended = false;
    std::vector<std::wstring> log;                  // lines of the automation log
    std::vector<std::wstring> visibleWindowClasses; // every visible window seen while it ran
    std::vector<RECT> visibleWindowRects;
};

std::wstring ClientPath();
// network: "online", "offline", or empty for the real network test.
ClientRun RunClient(const std::wstring& arguments, const std::wstring& network,
                    DWORD timeoutMs = 20000);

} // namespace tessaly::e2e
