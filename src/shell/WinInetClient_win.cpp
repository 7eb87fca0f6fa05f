#include "shell/WinInetClient_win.h"

#include "shell/ContentLength.h"
#include "shell/InternetHandle_win.h"

namespace tessaly::win {
namespace {

class WinInetResponse : public HttpResponse {
public:
    WinInetResponse(UniqueInternet session, UniqueInternet connection, UniqueInternet request)
        : session_(std::move(session))
        , connection_(std::move(connection))
        , request_(std::move(request)) {}

    int Status() override {
        DWORD status = 0;
        DWORD size = sizeof status;
        if (!HttpQueryInfoW(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                            &status, &size, nullptr))
            return 0;
        return static_cast<int>(status);
    }

    std::optional<std::uint64_t> ContentLength() override {
        ULONGLONG length = 0;
        DWORD size = sizeof length;
        if (HttpQueryInfoW(request_.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER64,
                           &length, &size, nullptr))
            return length;
        // Some WinINet implementations (Wine's) know no 64-bit numbers: the text
        // then, which never truncates a length past 4 GiB as the 32-bit query would.
        wchar_t text[32] = {};
        size = sizeof text - sizeof text[0];
        if (!HttpQueryInfoW(request_.get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
            return std::nullopt;
        return ParseContentLength(std::wstring_view(text, size / sizeof text[0]));
    }

    std::optional<std::size_t> Read(std::span<std::byte> buffer) override {
        DWORD read = 0;
        if (!InternetReadFile(request_.get(), buffer.data(), static_cast<DWORD>(buffer.size()),
                              &read))
            return std::nullopt;
        return read;
    }

private:
    // Released in reverse: the request, its connection, then the session.
    UniqueInternet session_;
    UniqueInternet connection_;
    UniqueInternet request_;
};

void SetTimeouts(HINTERNET handle, DWORD milliseconds) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(handle, option, &milliseconds, sizeof milliseconds);
}

} // namespace

WinInetClient::WinInetClient(int timeoutSeconds)
    : timeoutMs_(static_cast<unsigned long>(timeoutSeconds > 0 ? timeoutSeconds : 1) * 1000) {}

std::unique_ptr<HttpResponse> WinInetClient::Open(const std::wstring& url) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    // Non-zero lengths ask for pointers into `url`.
    parts.dwHostNameLength = parts.dwUserNameLength = parts.dwPasswordLength = 1;
    parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(url.c_str(), 0, 0, &parts)) return nullptr;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        return nullptr;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    const std::wstring user(parts.lpszUserName ? parts.lpszUserName : L"", parts.dwUserNameLength);
    const std::wstring password(parts.lpszPassword ? parts.lpszPassword : L"",
                                parts.dwPasswordLength);
    std::wstring object(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty()) object = L"/";

    UniqueInternet session(
        InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return nullptr;
    SetTimeouts(session.get(), timeoutMs_);
    UniqueInternet connection(InternetConnectW(
        session.get(), host.c_str(), parts.nPort, user.empty() ? nullptr : user.c_str(),
        password.empty() ? nullptr : password.c_str(), INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return nullptr;
    SetTimeouts(connection.get(), timeoutMs_);
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    UniqueInternet request(HttpOpenRequestW(connection.get(), L"GET", object.c_str(), nullptr,
                                            nullptr, nullptr, flags, 0));
    if (!request) return nullptr;
    SetTimeouts(request.get(), timeoutMs_);
    if (!HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return nullptr;
    return std::make_unique<WinInetResponse>(std::move(session), std::move(connection),
                                             std::move(request));
}

} // namespace tessaly::win
