#pragma once
// A worker thread runs the network test and, when the machine is online,
// fetches the manifest while the user-interface thread starts OLE; then it
// loads the DLLs the version check is about to need and decodes the
// start-up's PNG resources, so the layered windows find their pictures ready
// when they show. Each picture after the first is decoded only once one
// before it has been taken, or itself: the login background, wanted when the
// page has come, does not take the processor from the splash's way to the
// screen. The worker only tests, fetches, loads and decodes: nothing it does
// is seen, the user-interface thread acts on each answer in its place in the
// start-up, and every window is made and painted on the user-interface
// thread.

#include "app/PublicData_win.h"
#include "base/Handles_win.h"
#include "shell/DownloadLimits.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessaly::win {

struct StartupWork {
    std::function<bool()> networkTest = {};
    // Fetched in this order, bounded by `limits`, once the test said online;
    // each only when the one before it came.
    std::vector<std::wstring> addresses = {};
    DownloadLimits limits = {};
    std::vector<const char*> dlls = {}; // system DLLs, kept loaded while the prefetch lives
    std::vector<int> pngIds = {};       // "PNG" resources
};

class StartupPrefetch {
public:
    // Starts the work in the order of its fields. One prefetch runs at a time.
    explicit StartupPrefetch(StartupWork work);
    // Waits for the step under way (a download stops at its next piece) and
    // leaves the rest.
    ~StartupPrefetch();
    StartupPrefetch(const StartupPrefetch&) = delete;
    StartupPrefetch& operator=(const StartupPrefetch&) = delete;

    // The running prefetch's picture of that id, once: waits until it is
    // decoded. Empty when none runs, it was not asked for, was taken already,
    // or could not be decoded; the caller then decodes it itself.
    static LayeredCanvas Take(int id);
    // The network test's answer: waits for it, or runs the test here when
    // the worker could not.
    bool Online();
    // What was fetched from `address`, once: waits for it, processing the
    // thread's messages. False when it was not asked for, was taken already
    // or was not fetched (offline); the caller then downloads it itself.
    // `body` is nullopt when the download failed or the program is quitting.
    bool TakeDownload(const std::wstring& address, std::optional<std::string>& body);

private:
    struct Picture {
        int id = 0;
        LayeredCanvas canvas; // written by the worker before `done` is set
        UniqueHandle done;
        UniqueHandle go; // the worker may decode it: set for the first, else by Take
        bool taken = false;
    };
    struct Download {
        std::wstring address;
        bool fetched = false; // written by the worker before `done` is set
        std::optional<std::string> body;
        UniqueHandle done;
        bool taken = false;
    };
    static DWORD WINAPI Run(void* self) noexcept;
    void RunSteps();
    bool Stopped() const;

    StartupWork work_;
    std::optional<bool> online_; // written by the worker before `tested_` is set
    UniqueHandle tested_;
    std::vector<Download> downloads_;
    std::vector<UniqueModule> dlls_;
    std::vector<Picture> pictures_;
    UniqueHandle stop_;
    UniqueHandle thread_;
};

} // namespace tessaly::win
