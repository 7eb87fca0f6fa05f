#pragma once
// A worker thread runs the network test while the user-interface thread
// starts OLE, then loads the DLLs the version check is about to need and
// decodes the start-up's PNG resources while the version check keeps the
// user-interface thread waiting, so the layered windows find their pictures
// ready when they show. Each picture after the first is decoded only once
// one before it has been taken, or itself: the login background, wanted
// when the page has come, does not take the processor from the splash's way
// to the screen. The worker only tests, loads and decodes into
// bitmaps: nothing it does is seen, the user-interface thread acts on the
// test's answer in its place in the start-up, and every window is made and
// painted on the user-interface thread.

#include "app/PublicData_win.h"
#include "base/Handles_win.h"

#include <functional>
#include <optional>
#include <vector>

namespace tessaly::win {

class StartupPrefetch {
public:
    // Starts the network test, then loading these system DLLs (kept loaded
    // while this lives), then decoding the "PNG" resources of these ids, in
    // this order, each once one before it has been taken. One prefetch runs
    // at a time.
    StartupPrefetch(std::function<bool()> networkTest, std::vector<const char*> dlls,
                    const std::vector<int>& ids);
    // Waits for the step under way and leaves the rest.
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

private:
    struct Slot {
        int id = 0;
        LayeredCanvas canvas; // written by the worker before `done` is set
        UniqueHandle done;
        UniqueHandle go; // the worker may decode it: set for the first, else by Take
        bool taken = false;
    };
    static DWORD WINAPI Run(void* self) noexcept;
    void RunSteps();
    bool Stopped() const;

    std::function<bool()> networkTest_;
    std::optional<bool> online_; // written by the worker before `tested_` is set
    UniqueHandle tested_;
    std::vector<const char*> dllNames_;
    std::vector<UniqueModule> dlls_;
    std::vector<Slot> slots_;
    UniqueHandle stop_;
    UniqueHandle thread_;
};

} // namespace tessaly::win
