#include "shell/QelDownLoadFile.h"

#include "shell/Redirect.h"

#include <array>

namespace tessaly {

QelDownLoadFile::QelDownLoadFile(std::unique_ptr<HttpClient> http, std::unique_ptr<FileSink> files,
                                 BetweenPieces betweenPieces, const DownloadLimits& limits,
                                 Clock clock)
    : http_(std::move(http))
    , files_(std::move(files))
    , betweenPieces_(std::move(betweenPieces))
    , limits_(limits)
    , clock_(std::move(clock)) {}

bool QelDownLoadFile::DownLoadFile(const std::wstring& urlFile, const std::wstring& saveFile,
                                   bool hidden, bool raiseEvent) {
    if (running_) return false;
    struct Running {
        bool& flag;
        explicit Running(bool& f)
            : flag(f) {
            flag = true;
        }
        ~Running() { flag = false; }
    } running(running_);

    stop_ = false;
    deadline_ =
        clock_() +
        static_cast<std::uint64_t>(limits_.totalSeconds > 0 ? limits_.totalSeconds : 1) * 1000;
    // The transfer's handles and its unfinished file are gone before Complete.
    const bool ok = Transfer(urlFile, saveFile, hidden, raiseEvent);
    if (raiseEvent) Complete.Raise();
    return ok;
}

std::unique_ptr<HttpResponse> QelDownLoadFile::OpenFollowingRedirects(const std::wstring& urlFile) {
    std::wstring address = urlFile;
    for (int redirects = 0;; ++redirects) {
        std::unique_ptr<HttpResponse> response = http_->Open(address, deadline_);
        if (!response || Expired()) return nullptr;
        if (!IsRedirect(response->Status())) return response;
        if (redirects == kMaxRedirects) return nullptr;
        const std::optional<std::wstring> location = response->Location();
        if (!location) return nullptr;
        std::optional<std::wstring> next = RedirectTarget(address, *location, urlFile);
        if (!next) return nullptr;
        address = std::move(*next);
    }
}

bool QelDownLoadFile::Transfer(const std::wstring& urlFile, const std::wstring& saveFile,
                               bool hidden, bool raiseEvent) {
    std::unique_ptr<HttpResponse> response = OpenFollowingRedirects(urlFile);
    if (!response || response->Status() != 200) return false;
    const std::optional<std::uint64_t> total = response->ContentLength();
    if (!total || *total == 0) return false;
    if (limits_.maxBytes != 0 && *total > limits_.maxBytes) return false;
    if (raiseEvent) QueryFileInfo.Raise(*total);

    std::unique_ptr<PartialFile> file = files_->Create(saveFile, hidden);
    if (!file) return false;

    std::array<std::byte, kPieceSize> buffer;
    std::uint64_t received = 0;
    while (!stop_) {
        const std::optional<std::size_t> count = response->Read(buffer, deadline_);
        if (!count || Expired()) return false;
        if (*count == 0) break;
        // More than announced: the server is not sending what it said.
        if (*count > *total - received) return false;
        if (!file->Write(std::span(buffer).first(*count))) return false;
        received += *count;
        if (raiseEvent) Loading.Raise(received);
        if (betweenPieces_) {
            const std::uint64_t before = clock_();
            if (!betweenPieces_()) stop_ = true;
            deadline_ += clock_() - before;
        }
    }
    // A stop keeps what the target held: a partial file is worth less.
    if (stop_) return true;
    if (received < *total) return false;
    // The body is in: the connection is of no further use.
    response.reset();
    return file->Commit();
}

} // namespace tessaly
