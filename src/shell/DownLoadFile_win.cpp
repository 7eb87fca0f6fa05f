#include <windows.h>

#include "shell/DownLoadFile_win.h"

#include "base/MessageFilter_win.h"
#include "shell/MemorySink.h"
#include "shell/WinFileSink_win.h"
#include "shell/WinInetClient_win.h"

#include <algorithm>

namespace tessaly::win {
namespace {

QelDownLoadFile MakeDownloader(std::unique_ptr<FileSink> sink, const DownloadLimits& limits,
                               QelDownLoadFile::BetweenPieces betweenPieces) {
    // No single wait may outlast the whole download: a request thread left
    // behind at the deadline then ends soon after it.
    const int waitSeconds = std::min(limits.timeoutSeconds, limits.totalSeconds);
    return QelDownLoadFile(std::make_unique<WinInetClient>(waitSeconds), std::move(sink),
                           std::move(betweenPieces), limits, GetTickCount64);
}

} // namespace

QelDownLoadFile MakeDownLoadFile(const DownloadLimits& limits) {
    return MakeDownloader(std::make_unique<WinFileSink>(), limits, MessagePump());
}

std::optional<std::string> DownloadBytes(const std::wstring& url, const DownloadLimits& limits) {
    return DownloadBytes(url, limits, MessagePump());
}

std::optional<std::string> DownloadBytes(const std::wstring& url, const DownloadLimits& limits,
                                         QelDownLoadFile::BetweenPieces goOn) {
    std::optional<std::string> body;
    QelDownLoadFile downloader =
        MakeDownloader(std::make_unique<MemorySink>(body), limits, std::move(goOn));
    static_cast<void>(downloader.DownLoadFile(url, L"", false, false)); // body tells
    return body;
}

bool ProcessPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (PreTranslate(message)) continue; // the page's keys, as in every loop
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

bool MessagePump::operator()() {
    const ULONGLONG now = GetTickCount64();
    if (now < next_) return true;
    next_ = now + kIntervalMs;
    return ProcessPendingMessages();
}

} // namespace tessaly::win
