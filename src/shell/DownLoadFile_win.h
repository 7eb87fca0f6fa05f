#pragma once
// The downloader as the program uses it on Windows: WinINet, real files, and
// the thread's window messages processed between pieces.

#include "shell/QelDownLoadFile.h"

namespace tessaly::win {

// timeoutSeconds: Config::timeoutSeconds.
QelDownLoadFile MakeDownLoadFile(int timeoutSeconds);

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
