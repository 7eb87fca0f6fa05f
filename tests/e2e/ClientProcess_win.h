#pragma once
// Starts Tessaly.exe for a whole-process test, in automation mode: message
// boxes and program starts go to a log file instead of the screen.

#include <windows.h>

#include "base/Handles_win.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaly::e2e {

struct ClientRun {
    DWORD pid = 0;
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
    // Windows of programs run from this folder count too (an updater, a restarted client).
    std::wstring watchFolder;
    // When set, watching goes on after the client ended until this holds (or the time is up).
    std::function<bool(const ClientRun&)> until;
};

// A file the build made, given relative to this test executable.
std::wstring BuiltFile(const wchar_t* relative);
std::wstring ClientPath();
// Runs the client to its end (or the time-out, when it is ended) and reports
// what it showed and logged.
ClientRun RunClient(const ClientOptions& options);

// A client that goes on running while the test drives it; it is ended when
// this object goes, if it has not ended by then.
class LiveClient {
public:
    explicit LiveClient(const ClientOptions& options);
    ~LiveClient();
    LiveClient(const LiveClient&) = delete;
    LiveClient& operator=(const LiveClient&) = delete;

    bool started() const { return static_cast<bool>(process_); }
    DWORD pid() const { return pid_; }
    bool WaitForExit(DWORD timeoutMs) const;
    DWORD ExitCode() const;
    std::vector<std::wstring> Log() const;
    // A top-level window of the client with this class (shown, or also
    // hidden); null if none.
    HWND Window(const wchar_t* className, bool shownOnly = false) const;

private:
    win::UniqueHandle process_;
    DWORD pid_ = 0;
    std::wstring logPath_;
    std::wstring scriptPath_;
};

// A copy of the client in a folder of its own, whose name the system code page
// cannot spell, with its own temporary folder and a Tessaly.ini that points
// the manifest at the local test server (the server must be running).
class Installation {
public:
    // The configured manifest is served with a signature as `signature`
    // says (test::SignedAddress).
    explicit Installation(std::string_view manifest, std::wstring_view signature = L"good");
    ~Installation();
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    std::wstring exe() const { return folder_ + L"\\Tessaly.exe"; }
    const std::wstring& folder() const { return folder_; }
    const std::wstring& temp() const { return temp_; }
    // Runs in this folder with its own temporary folder, answering questions
    // so; starts: how many generations of started programs really run.
    ClientOptions Options(const wchar_t* answer, const wchar_t* starts = L"0") const;

private:
    bool Remove() const;
    std::wstring folder_;
    std::wstring temp_;
};

} // namespace tessaly::e2e
