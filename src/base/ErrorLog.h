#pragma once
// Where failures go that no caller can be told about: a window procedure, a
// timer or a COM callback must not let an exception escape, so it writes here.
// The program installs the platform's application event log as the sink; tests
// install their own.

#include <functional>
#include <string>
#include <string_view>

namespace tessaly {

using ErrorSink = std::function<void(std::wstring_view)>;

// Returns the sink that was installed before.
ErrorSink SetErrorSink(ErrorSink sink);
void LogError(std::wstring_view text);
// For catch blocks at callback boundaries: logs the exception in flight.
void LogCurrentException(std::wstring_view where) noexcept;
// Called first thing by each program: an exception that nothing catches is
// logged with its message before the process aborts.
void LogUncaughtExceptions();

// Runs a step whose failure must not stop what comes after it (a callback
// boundary, one step of a layout); the failure is logged under `where`.
template <class Step> void AttemptLogged(std::wstring_view where, Step&& step) noexcept {
    try {
        step();
    } catch (...) {
        LogCurrentException(where);
    }
}

} // namespace tessaly
