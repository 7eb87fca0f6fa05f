#include "base/ErrorLog.h"

#include "base/Error.h"
#include "base/Text.h"

#include <cstdio>
#include <exception>

namespace tessaly {
namespace {

void WriteToStderr(std::wstring_view text) {
    std::fprintf(stderr, "%s\n", WideToUtf8(text).c_str());
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
            text += L": error " + std::to_wstring(e.number()) + L": " + Utf8ToWide(e.what());
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

} // namespace tessaly
