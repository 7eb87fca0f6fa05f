#pragma once
// Starts Tessaly.exe for a whole-process test, in automation mode: message
// boxes and program starts go to a log file instead of the screen.

#include <windows.h>

#include "base/Handles_win.h"

#include <string>
#include <utility>
#include <vector>

namespace tessaly::e2e {

struct ClientRun {
    DWORD exitCode = STILL_ACTIVE;
    bool ended = false;
    std::vector<std::wstring> log;                  // lines of the automation log
    std::vector<std::wstring> visibleWindowClasses; // every visible window seen while it ran
    std::vector<RECT> visibleWindowRects;
};

struct ClientOptions {
    std::wstring arguments;
    std::wstring network;       // "online", "offline", or empty for the real network test
    std::wstring browserScript; // the pages' script; empty for the real browser control
    DWORD timeoutMs = 20000;
    std::wstring exe; // the client to start; empty for the one the build made (ClientPath)
    // More variables for the client only (TESSALY_AUTOMATION_ANSWER, TMP, ...).
    std::vector<std::pair<std::wstring, std::wstring>> environment;
};

std::wstring ClientPath();
ClientRun RunClient(const ClientOptions& options);

} // namespace tessaly::e2e
