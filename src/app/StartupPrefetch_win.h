#pragma once
// While the network test and the version check keep the user-interface
// thread waiting, a worker thread loads the DLLs they are about to need and
// decodes the start-up's PNG resources, so the layered windows find their
// pictures ready when they load. The worker only loads and decodes into
// bitmaps: nothing it does is seen, and every window is made and painted on
// the user-interface thread.

#include "app/PublicData_win.h"
#include "base/Handles_win.h"

#include <atomic>
#include <vector>

namespace tessaly::win {

class StartupPrefetch {
public:
    // Starts loading these system DLLs (kept loaded while this lives), then
    // decoding the "PNG" resources of these ids, in this order. One prefetch
    // runs at a time.
    StartupPrefetch(std::vector<const char*> dlls, const std::vector<int>& ids);
    // Waits for the step under way and leaves the rest.
    ~StartupPrefetch();
    StartupPrefetch(const StartupPrefetch&) = delete;
    StartupPrefetch& operator=(const StartupPrefetch&) = delete;

    // The running prefetch's picture of that id, once: waits until it is
    // decoded. Empty when none runs, it was not asked for, was taken already,
    // or could not be decoded; the caller then decodes it itself.
    static LayeredCanvas Take(int id);

private:
    struct Slot {
        int id = 0;
        LayeredCanvas canvas; // written by the worker before `done` is set
        UniqueHandle done;
        bool taken = false;
    };
    static DWORD WINAPI Run(void* self) noexcept;
    void DecodeAll();

    std::vector<const char*> dllNames_;
    std::vector<UniqueModule> dlls_;
    std::vector<Slot> slots_;
    std::atomic<bool> stop_{false};
    UniqueHandle thread_;
};

} // namespace tessaly::win
