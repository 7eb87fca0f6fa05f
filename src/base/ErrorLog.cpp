#include "base/ErrorLog.h"

#include "base/Error.h"
#include "base/Text.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace tessaly {
namespace {

void WriteToStderr(std::wstring_view text) {
    std::fputs((WideToUtf8(text) + '\n').c_str(), stderr);
}

[[noreturn]] void LogAndAbort() noexcept {
    if (std::current_exception()) {
        LogCurrentException(L"uncaught exception");
    } else {
        try {
            LogError(L"terminate called without an exception");
        } catch (...) {
            // Nowhere left to report; aborting is all that remains.
        }
    }
    std::abort();
}

ErrorSink& Sink() {
    static ErrorSink sink = WriteToStderr;
    return sink;
}

} // namespace

ErrorSink SetErrorSink(ErrorSink sink) {
    ErrorSink previous = std::move(Sink());
    Sink() = sink ? std::move(sink) : ErrorSink(WriteToStderr);
    return previous;
}

void LogError(std::wstring_view text) {
    Sink()(text);
}

void LogCurrentException(std::wstring_view where) noexcept {
    try {
        std::wstring text(where);
        try {
            throw;
        } catch (const Error& e) {
            text += L": error " + DecimalText(e.number()) + L": " + Utf8ToWide(e.what());
        } catch (const std::exception& e) {
            text += L": " + Utf8ToWide(e.what());
        } catch (...) {
            text += L": unknown exception";
        }
        LogError(text);
    } catch (...) {
        // Logging itself failed (out of memory); there is nowhere left to report.
    }
}

void LogUncaughtExceptions() {
    std::set_terminate(LogAndAbort);
}

} // namespace tessaly

#if defined(__GLIBCXX__)
// libstdc++'s default handler names the exception's type, through a demangler
// of some 46 KiB that a statically linked program then carries. Defining the
// default here keeps that out, and covers what terminates before a program
// gets to LogUncaughtExceptions.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    tessaly::LogAndAbort();
}
} // namespace __gnu_cxx
#endif
