#include <windows.h>

#include "base/EventLog_win.h"

#include "base/ErrorLog.h"
#include "base/UniqueResource.h"

#include <string>

namespace tessaly::win {
namespace {

struct EventSourceTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Release(Type h) { DeregisterEventSource(h); }
};

} // namespace

void UseApplicationEventLog() {
    SetErrorSink([](std::wstring_view text) {
        static UniqueResource<EventSourceTraits> source(RegisterEventSourceW(nullptr, L"Tessaly"));
        const std::wstring entry(text);
        const wchar_t* strings[] = {entry.c_str()};
        if (source)
            ReportEventW(source.get(), EVENTLOG_ERROR_TYPE, 0, 1, nullptr, 1, 0, strings, nullptr);
        OutputDebugStringW((entry + L"\n").c_str());
    });
}

} // namespace tessaly::win
