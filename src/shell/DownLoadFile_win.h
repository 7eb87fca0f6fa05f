#pragma once
// The downloader as the program uses it on Windows: WinINet, real files, and
// the thread's window messages processed between pieces.

#include "shell/DownloadLimits.h"
#include "shell/QelDownLoadFile.h"

#include <optional>
#include <string>

namespace tessaly::win {

// A downloader bounded by `limits` (ManifestLimits or FileLimits).
QelDownLoadFile MakeDownLoadFile(const DownloadLimits& limits);

// The body of a 200 response with its whole announced length, in memory;
// nullopt otherwise (and when the program quits meanwhile). For what is
// checked and then acted on: the caller keeps the bytes it checked. maxBytes
// bounds the memory taken; 0 leaves that to the server.
std::optional<std::string> DownloadBytes(const std::wstring& url, const DownloadLimits& limits);
// The same on a thread without windows: `goOn` runs between pieces in place
// of the message pump, and false from it stops the download.
std::optional<std::string> DownloadBytes(const std::wstring& url, const DownloadLimits& limits,
                                         QelDownLoadFile::BetweenPieces goOn);

// Dispatches the messages waiting for this thread, so windows repaint and a
// cancel button works during a download. False when the program is quitting:
// WM_QUIT is posted again for the message loop, and the download stops.
bool ProcessPendingMessages();

// ProcessPendingMessages at most once per interval. Every look at the queue
// costs a round trip to the window system (a wineserver request under Wine):
// after every 8 KiB piece that was a third of the download's time, while a
// window only needs its messages some dozens of times a second.
class MessagePump {
public:
    static constexpr unsigned long long kIntervalMs = 10;
    bool operator()();

private:
    unsigned long long next_ = 0; // the first piece pumps at once
};

} // namespace tessaly::win
