#pragma once
// HTTP through WinINet: a session of its own per address opened, with the
// system's proxy settings, never answered from the cache.

#include "shell/HttpClient.h"

namespace tessaly::win {

class WinInetClient : public HttpClient {
public:
    // Connecting, sending and each wait for data give up after this long, so
    // a dead or silent server cannot hold the caller for minutes.
    explicit WinInetClient(int timeoutSeconds);
    std::unique_ptr<HttpResponse> Open(const std::wstring& url) override;

private:
    unsigned long timeoutMs_;
};

} // namespace tessaly::win
