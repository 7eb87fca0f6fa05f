#include <windows.h>

#include "shell/DownLoadFile_win.h"

#include "base/MessageFilter_win.h"
#include "shell/WinFileSink_win.h"
#include "shell/WinInetClient_win.h"

namespace tessaly::win {

QelDownLoadFile MakeDownLoadFile(int timeoutSeconds) {
    return QelDownLoadFile(std::make_unique<WinInetClient>(timeoutSeconds),
                           std::make_unique<WinFileSink>(), MessagePump());
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
