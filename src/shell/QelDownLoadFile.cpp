#include "shell/QelDownLoadFile.h"

#include <array>

namespace tessaly {

QelDownLoadFile::QelDownLoadFile(std::unique_ptr<HttpClient> http, std::unique_ptr<FileSink> files,
                                 BetweenPieces betweenPieces)
    : http_(std::move(http))
    , files_(std::move(files))
    , betweenPieces_(std::move(betweenPieces)) {}

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
    // The transfer's handles and its unfinished file are gone before Complete.
    const bool ok = Transfer(urlFile, saveFile, hidden, raiseEvent);
    if (raiseEvent) Complete.Raise();
    return ok;
}

bool QelDownLoadFile::Transfer(const std::wstring& urlFile, const std::wstring& saveFile,
                               bool hidden, bool raiseEvent) {
    std::unique_ptr<HttpResponse> response = http_->Open(urlFile);
    if (!response || response->Status() != 200) return false;
    const std::optional<std::uint64_t> total = response->ContentLength();
    if (!total || *total == 0) return false;
    if (raiseEvent) QueryFileInfo.Raise(*total);

    std::unique_ptr<PartialFile> file = files_->Create(saveFile, hidden);
    if (!file) return false;

    std::array<std::byte, kPieceSize> buffer;
    std::uint64_t received = 0;
    while (!stop_) {
        const std::optional<std::size_t> count = response->Read(buffer);
        if (!count) return false;
        if (*count == 0) break;
        if (!file->Write(std::span(buffer).first(*count))) return false;
        received += *count;
        if (raiseEvent) Loading.Raise(received);
        if (betweenPieces_ && !betweenPieces_()) stop_ = true;
    }
    // A stop keeps what the target held: a partial file is worth less.
    if (stop_) return true;
    if (received < *total) return false;
    // The body is in: the connection is of no further use.
    response.reset();
    return file->Commit();
}

} // namespace tessaly
