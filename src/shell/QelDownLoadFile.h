#pragma once
// Copies one HTTP resource into a local file, synchronously, in pieces of
// 8192 bytes, between which the caller's window messages are processed and a
// stop can be asked for.
//
// Only a 200 response with a non-zero Content-Length is taken, after at most
// kMaxRedirects redirects that RedirectTarget allows. The body goes into a new
// file beside the target that replaces the target only when the server has
// sent exactly the announced length and then ended the body. A transfer that
// breaks, ends short, sends one byte more than announced (that piece is not
// written) or outlasts its deadline fails and leaves the target as it was; so
// does a stopped one, which still reports success, as a stop is the caller's
// own choice.
//
// The limits bound each download: a length above maxBytes is refused before
// anything is created, and totalSeconds covers the whole download, redirects
// included, except the time the caller spends between pieces (a question box
// left open is not the server holding the download).
//
// Failures are only the false result: nothing is shown or raised.

#include "base/Event.h"
#include "shell/DownloadLimits.h"
#include "shell/FileSink.h"
#include "shell/HttpClient.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tessaly {

class QelDownLoadFile {
public:
    static constexpr std::size_t kPieceSize = 8192;

    // Runs after each piece; returning false stops the download as
    // StopDownLoad does (the Win32 one does so when the program is quitting).
    using BetweenPieces = std::function<bool()>;
    // Milliseconds on a clock that never goes back; the deadlines handed to
    // `http` are on it.
    using Clock = std::function<std::uint64_t()>;

    QelDownLoadFile(std::unique_ptr<HttpClient> http, std::unique_ptr<FileSink> files,
                    BetweenPieces betweenPieces, const DownloadLimits& limits, Clock clock);

    // Raised only when DownLoadFile is asked to. QueryFileInfo carries the
    // announced length, once, before the file is created; Loading the bytes
    // received so far, after each piece is written; Complete comes last,
    // whichever way the download ended.
    Event<std::uint64_t> QueryFileInfo;
    Event<std::uint64_t> Loading;
    Event<> Complete;

    // False when the download failed. A call made while one runs (from a
    // message processed between pieces) is refused: false, and no event.
    bool DownLoadFile(const std::wstring& urlFile, const std::wstring& saveFile, bool hidden,
                      bool raiseEvent);
    // The running download ends before its next piece. Every DownLoadFile
    // forgets a stop asked for before it began.
    void StopDownLoad() { stop_ = true; }

private:
    bool Transfer(const std::wstring& urlFile, const std::wstring& saveFile, bool hidden,
                  bool raiseEvent);
    // The response that is not a redirect, or nullptr.
    std::unique_ptr<HttpResponse> OpenFollowingRedirects(const std::wstring& urlFile);
    bool Expired() const { return clock_() >= deadline_; }

    std::unique_ptr<HttpClient> http_;
    std::unique_ptr<FileSink> files_;
    BetweenPieces betweenPieces_;
    DownloadLimits limits_;
    Clock clock_;
    std::uint64_t deadline_ = 0;
    std::atomic<bool> stop_ = false;
    bool running_ = false;
};

} // namespace tessaly
