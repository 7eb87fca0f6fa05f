#pragma once
// What the downloader needs of HTTP: open an address, read the status, the
// announced length and a redirect's Location, then the body piece by piece.
// WinINet is the real one (WinInetClient_win.h); the tests script responses
// of their own.
//
// Every call that waits is bounded by a deadline, in milliseconds of the
// downloader's clock: past it, the call gives up as if the connection broke.

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
    // The Location header as sent; nullopt when there is none.
    virtual std::optional<std::wstring> Location() = 0;
    // Fills the front of `buffer`: the count read, 0 at the end of the body,
    // nullopt when the transfer broke (a reset connection, a time-out, the
    // deadline).
    virtual std::optional<std::size_t> Read(std::span<std::byte> buffer,
                                            std::uint64_t deadline) = 0;
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // Sends the request and waits for the response's head; nullptr when none
    // came (no session, unknown host, refused, timed out, the deadline).
    // Redirects are answered as they are, never followed.
    virtual std::unique_ptr<HttpResponse> Open(const std::wstring& url, std::uint64_t deadline) = 0;
};

} // namespace tessaly
