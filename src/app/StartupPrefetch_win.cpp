#include "app/StartupPrefetch_win.h"

#include "base/SystemDlls_win.h"

namespace tessaly::win {
namespace {

StartupPrefetch* g_running = nullptr;

} // namespace

StartupPrefetch::StartupPrefetch(std::function<bool()> networkTest, std::vector<const char*> dlls,
                                 const std::vector<int>& ids)
    : networkTest_(std::move(networkTest))
    , tested_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    , dllNames_(std::move(dlls))
    , stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    dlls_.reserve(dllNames_.size());
    if (!tested_ || !stop_) return;
    slots_.resize(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        slots_[i].id = ids[i];
        slots_[i].done.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        slots_[i].go.reset(CreateEventW(nullptr, TRUE, i == 0, nullptr));
        // Nothing starts: every window decodes for itself.
        if (!slots_[i].done || !slots_[i].go) return;
    }
    // The standard library's threads are not in every runtime the program
    // is built with; the system's are.
    thread_.reset(CreateThread(nullptr, 0, &StartupPrefetch::Run, this, 0, nullptr));
    if (thread_) g_running = this;
}

StartupPrefetch::~StartupPrefetch() {
    if (g_running == this) g_running = nullptr;
    if (!thread_) return;
    SetEvent(stop_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI StartupPrefetch::Run(void* self) noexcept {
    auto& prefetch = *static_cast<StartupPrefetch*>(self);
    try {
        prefetch.RunSteps();
    } catch (...) {
        // Out of memory: what is not done here the user-interface thread does.
    }
    SetEvent(prefetch.tested_.get());
    for (Slot& slot : prefetch.slots_)
        SetEvent(slot.done.get());
    return 0;
}

bool StartupPrefetch::Stopped() const {
    return WaitForSingleObject(stop_.get(), 0) == WAIT_OBJECT_0;
}

void StartupPrefetch::RunSteps() {
    if (networkTest_) online_ = networkTest_();
    SetEvent(tested_.get());
    for (const char* name : dllNames_) {
        if (Stopped()) return;
        dlls_.emplace_back(PreloadSystemDll(name));
    }
    const GdiplusSession gdiplus;
    for (Slot& slot : slots_) {
        const HANDLE wake[] = {stop_.get(), slot.go.get()};
        WaitForMultipleObjects(2, wake, FALSE, INFINITE);
        if (Stopped()) return;
        slot.canvas = DecodePngResource(slot.id);
        SetEvent(slot.done.get());
    }
}

bool StartupPrefetch::Online() {
    if (thread_) WaitForSingleObject(tested_.get(), INFINITE);
    if (!online_) online_ = networkTest_ && networkTest_();
    return *online_;
}

LayeredCanvas StartupPrefetch::Take(int id) {
    if (!g_running) return {};
    std::vector<Slot>& slots = g_running->slots_;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        Slot& slot = slots[i];
        if (slot.id != id || slot.taken) continue;
        slot.taken = true;
        // The worker may be waiting to reach this one, and the next may go.
        for (std::size_t j = 0; j <= i + 1 && j < slots.size(); ++j)
            SetEvent(slots[j].go.get());
        WaitForSingleObject(slot.done.get(), INFINITE);
        return std::move(slot.canvas);
    }
    return {};
}

} // namespace tessaly::win
