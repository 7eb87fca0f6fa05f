#pragma once
// What the downloader needs of HTTP: open an address, read the status and the
// announced length, then the body piece by piece. WinINet is the real one
// (WinInetClient_win.h); the tests script responses of their own.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace tessaly {

class HttpResponse {
public:
    virtual ~HttpResponse() = default;
    // 0 when the response carried none that could be read.
    virtual int Status() = 0;
    // The announced Content-Length; nullopt when the response has none.
    virtual std::optional<std::uint64_t> ContentLength() = 0;
    // Fills the front of `buffer`: the count read, 0 at the end of the body,
    // nullopt when the transfer broke (a reset connection, a time-out).
    virtual std::optional<std::size_t> Read(std::span<std::byte> buffer) = 0;
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // Sends the request and waits for the response's head; nullptr when none
    // came (no session, unknown host, refused, timed out).
    virtual std::unique_ptr<HttpResponse> Open(const std::wstring& url) = 0;
};

} // namespace tessaly
