#include "app/StartupPrefetch_win.h"

#include "base/SystemDlls_win.h"

namespace tessaly::win {
namespace {

StartupPrefetch* g_running = nullptr;

} // namespace

StartupPrefetch::StartupPrefetch(std::vector<const char*> dlls, const std::vector<int>& ids)
    : dllNames_(std::move(dlls)) {
    dlls_.reserve(dllNames_.size());
    slots_.resize(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        slots_[i].id = ids[i];
        slots_[i].done.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!slots_[i].done) return; // nothing starts: every window decodes for itself
    }
    // The standard library's threads are not in every runtime the program
    // is built with; the system's are.
    thread_.reset(CreateThread(nullptr, 0, &StartupPrefetch::Run, this, 0, nullptr));
    if (thread_) g_running = this;
}

StartupPrefetch::~StartupPrefetch() {
    if (g_running == this) g_running = nullptr;
    if (!thread_) return;
    stop_ = true;
    WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI StartupPrefetch::Run(void* self) noexcept {
    auto& prefetch = *static_cast<StartupPrefetch*>(self);
    try {
        prefetch.DecodeAll();
    } catch (...) {
        // Out of memory: what is not decoded here the windows decode themselves.
    }
    for (Slot& slot : prefetch.slots_)
        SetEvent(slot.done.get());
    return 0;
}

void StartupPrefetch::DecodeAll() {
    for (const char* name : dllNames_) {
        if (stop_) return;
        dlls_.emplace_back(PreloadSystemDll(name));
    }
    const GdiplusSession gdiplus;
    for (Slot& slot : slots_) {
        if (stop_) return;
        slot.canvas = DecodePngResource(slot.id);
        SetEvent(slot.done.get());
    }
}

LayeredCanvas StartupPrefetch::Take(int id) {
    if (!g_running) return {};
    for (Slot& slot : g_running->slots_) {
        if (slot.id != id || slot.taken) continue;
        slot.taken = true;
        WaitForSingleObject(slot.done.get(), INFINITE);
        return std::move(slot.canvas);
    }
    return {};
}

} // namespace tessaly::win
