#include "app/StartupPrefetch_win.h"

#include "base/SystemDlls_win.h"
#include "shell/DownLoadFile_win.h"

namespace tessaly::win {
namespace {

StartupPrefetch* g_running = nullptr;

UniqueHandle ManualEvent(bool set = false) {
    return UniqueHandle(CreateEventW(nullptr, TRUE, set, nullptr));
}

} // namespace

StartupPrefetch::StartupPrefetch(StartupWork work)
    : work_(std::move(work))
    , tested_(ManualEvent())
    , stop_(ManualEvent()) {
    dlls_.reserve(work_.dlls.size());
    if (!tested_ || !stop_) return;
    // Nothing starts when an event is missing: the start-up then does all
    // of it itself.
    for (const std::wstring& address : work_.addresses) {
        Download& download = downloads_.emplace_back();
        download.address = address;
        if (!(download.done = ManualEvent())) return;
    }
    for (const int id : work_.pngIds) {
        Picture& picture = pictures_.emplace_back();
        picture.id = id;
        picture.done = ManualEvent();
        picture.go = ManualEvent(pictures_.size() == 1);
        if (!picture.done || !picture.go) return;
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
    for (Download& download : prefetch.downloads_)
        SetEvent(download.done.get());
    for (Picture& picture : prefetch.pictures_)
        SetEvent(picture.done.get());
    return 0;
}

bool StartupPrefetch::Stopped() const {
    return WaitForSingleObject(stop_.get(), 0) == WAIT_OBJECT_0;
}

void StartupPrefetch::RunSteps() {
    if (work_.networkTest) online_ = work_.networkTest();
    SetEvent(tested_.get());
    for (Download& download : downloads_) {
        if (!online_.value_or(false) || Stopped()) break;
        download.body =
            DownloadBytes(download.address, work_.limits, [this] { return !Stopped(); });
        download.fetched = !Stopped();
        SetEvent(download.done.get());
        // What follows is only wanted with what came before (the signature
        // with its manifest), and a dead server must not hold up the rest.
        if (!download.body) break;
    }
    for (const char* name : work_.dlls) {
        if (Stopped()) return;
        dlls_.emplace_back(PreloadSystemDll(name));
    }
    for (Picture& picture : pictures_) {
        const HANDLE wake[] = {stop_.get(), picture.go.get()};
        WaitForMultipleObjects(2, wake, FALSE, INFINITE);
        if (Stopped()) return;
        picture.canvas = DecodePngResource(picture.id);
        SetEvent(picture.done.get());
    }
}

bool StartupPrefetch::Online() {
    if (thread_) WaitForSingleObject(tested_.get(), INFINITE);
    if (!online_) online_ = work_.networkTest && work_.networkTest();
    return *online_;
}

bool StartupPrefetch::TakeDownload(const std::wstring& address, std::optional<std::string>& body) {
    if (!thread_) return false;
    for (Download& download : downloads_) {
        if (download.address != address || download.taken) continue;
        download.taken = true;
        // A slow server may take seconds: the thread's windows go on taking
        // their messages meanwhile, as during any download.
        const HANDLE done = download.done.get();
        while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
            if (ProcessPendingMessages()) continue;
            body.reset(); // quitting: the worker's result is left to it
            return true;
        }
        if (!download.fetched) return false;
        body = std::move(download.body);
        return true;
    }
    return false;
}

LayeredCanvas StartupPrefetch::Take(int id) {
    if (!g_running) return {};
    std::vector<Picture>& pictures = g_running->pictures_;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        Picture& picture = pictures[i];
        if (picture.id != id || picture.taken) continue;
        picture.taken = true;
        // The worker may be waiting to reach this one, and the next may go.
        for (std::size_t j = 0; j <= i + 1 && j < pictures.size(); ++j)
            SetEvent(pictures[j].go.get());
        WaitForSingleObject(picture.done.get(), INFINITE);
        return std::move(picture.canvas);
    }
    return {};
}

} // namespace tessaly::win
