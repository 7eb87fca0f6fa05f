#pragma once
// HTTP through WinINet: a session of its own per address opened, with the
// system's proxy settings, never answered from the cache, without cookies,
// automatic log-on, dialogs or redirects of its own.
//
// Each request runs on a thread of its own, which makes every WinINet call
// and closes every handle; the caller only waits for it, until its deadline
// (milliseconds of GetTickCount64), and then leaves it: a blocked WinINet
// call cannot be cut short from outside. Closing a handle in use is the
// documented cancel, but Wine lets the call run on to its own time-out, and
// a handle closed from another thread may already name a new one when its
// owner uses it next. The thread ends by itself after its current call,
// which the per-wait time-outs bound.

#include "shell/HttpClient.h"

namespace tessaly::win {

class WinInetClient : public HttpClient {
public:
    // Connecting, sending and each wait for data give up after this long, so
    // a thread left behind at a deadline does not linger for minutes.
    explicit WinInetClient(int timeoutSeconds);
    std::unique_ptr<HttpResponse> Open(const std::wstring& url, std::uint64_t deadline) override;

private:
    unsigned long timeoutMs_;
};

} // namespace tessaly::win
