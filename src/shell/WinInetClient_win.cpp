#include "shell/WinInetClient_win.h"

#include "base/Handles_win.h"
#include "shell/ContentLength.h"
#include "shell/InternetHandle_win.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tessaly::win {
namespace {

// What the caller and the request's thread share. Blocks [first, first +
// filled) hold body bytes for the caller; the thread reads into the next free
// one outside the lock, which the caller never touches. Reads of 64 KiB are
// several times faster than of 8 KiB under Wine (a sync read fills its whole
// buffer, so a slow server's bytes come in steps of a block); the caller still
// takes them in its own pieces. Asking what is available first, to hand on
// smaller steps, halved the speed.
struct Exchange {
    static constexpr std::size_t kBlockSize = 65536;
    static constexpr std::size_t kBlocks = 4;

    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE dataOrEnd = CONDITION_VARIABLE_INIT; // the caller waits on it
    CONDITION_VARIABLE room = CONDITION_VARIABLE_INIT;      // the thread waits on it

    bool headDone = false; // the head came, or the request failed (headOk false)
    bool headOk = false;
    int status = 0;
    std::optional<std::uint64_t> length;
    std::optional<std::wstring> location;

    std::array<std::array<std::byte, kBlockSize>, kBlocks> blocks;
    std::array<std::size_t, kBlocks> counts{};
    std::size_t first = 0;
    std::size_t filled = 0;
    std::size_t offset = 0; // already taken from blocks[first]
    bool ended = false;
    bool broken = false;

    bool abandoned = false; // the caller is gone: stop after the current call
};

class Locked {
public:
    explicit Locked(Exchange& x)
        : x_(x) {
        AcquireSRWLockExclusive(&x_.lock);
    }
    ~Locked() { ReleaseSRWLockExclusive(&x_.lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    // Waits on `condition` until `done` holds or the deadline passes; false then.
    template <class Done>
    bool WaitUntil(CONDITION_VARIABLE& condition, std::uint64_t deadline, Done done) {
        while (!done()) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) return false;
            SleepConditionVariableSRW(
                &condition, &x_.lock,
                static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 60000)), 0);
        }
        return true;
    }

private:
    Exchange& x_;
};

void SetTimeouts(HINTERNET handle, DWORD milliseconds) {
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(handle, option, &milliseconds, sizeof milliseconds);
}

std::optional<std::uint64_t> QueryLength(HINTERNET request) {
    ULONGLONG length = 0;
    DWORD size = sizeof length;
    if (HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER64, &length,
                       &size, nullptr))
        return length;
    // Some WinINet implementations (Wine's) know no 64-bit numbers: the text
    // then, which never truncates a length past 4 GiB as the 32-bit query would.
    wchar_t text[32] = {};
    size = sizeof text - sizeof text[0];
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return std::nullopt;
    return ParseContentLength(std::wstring_view(text, size / sizeof text[0]));
}

std::optional<std::wstring> QueryLocation(HINTERNET request) {
    // Longer than any address WinINet takes: such a Location is none.
    std::wstring text(INTERNET_MAX_URL_LENGTH + 1, L'\0');
    DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (!HttpQueryInfoW(request, HTTP_QUERY_LOCATION, text.data(), &size, nullptr))
        return std::nullopt;
    text.resize(size / sizeof(wchar_t));
    return text;
}

// Connects and sends; the request, its connection and session, or nothing.
struct Request {
    UniqueInternet session;
    UniqueInternet connection;
    UniqueInternet request;
};

bool Send(const std::wstring& url, DWORD timeoutMs, Request& out) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    // Non-zero lengths ask for pointers into `url`.
    parts.dwHostNameLength = parts.dwUserNameLength = parts.dwPasswordLength = 1;
    parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(url.c_str(), 0, 0, &parts)) return false;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        return false;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    const std::wstring user(parts.lpszUserName ? parts.lpszUserName : L"", parts.dwUserNameLength);
    const std::wstring password(parts.lpszPassword ? parts.lpszPassword : L"",
                                parts.dwPasswordLength);
    std::wstring object(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty()) object = L"/";

    out.session.reset(InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!out.session) return false;
    SetTimeouts(out.session.get(), timeoutMs);
    out.connection.reset(InternetConnectW(
        out.session.get(), host.c_str(), parts.nPort, user.empty() ? nullptr : user.c_str(),
        password.empty() ? nullptr : password.c_str(), INTERNET_SERVICE_HTTP, 0, 0));
    if (!out.connection) return false;
    SetTimeouts(out.connection.get(), timeoutMs);
    // The downloader follows redirects itself, checking each address.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                  INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_COOKIES |
                  INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_NO_UI;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    out.request.reset(HttpOpenRequestW(out.connection.get(), L"GET", object.c_str(), nullptr,
                                       nullptr, nullptr, flags, 0));
    if (!out.request) return false;
    SetTimeouts(out.request.get(), timeoutMs);
    return HttpSendRequestW(out.request.get(), nullptr, 0, nullptr, 0);
}

void ReadBody(Exchange& x, HINTERNET request) {
    for (;;) {
        std::size_t slot = 0;
        {
            Locked locked(x);
            while (!x.abandoned && x.filled == Exchange::kBlocks)
                SleepConditionVariableSRW(&x.room, &x.lock, INFINITE, 0);
            if (x.abandoned) return;
            slot = (x.first + x.filled) % Exchange::kBlocks;
        }
        DWORD read = 0;
        const BOOL ok =
            InternetReadFile(request, x.blocks[slot].data(), Exchange::kBlockSize, &read);
        Locked locked(x);
        if (!ok)
            x.broken = true;
        else if (read == 0)
            x.ended = true;
        else {
            x.counts[slot] = read;
            ++x.filled;
        }
        WakeConditionVariable(&x.dataOrEnd);
        if (!ok || read == 0) return;
    }
}

struct Job {
    std::shared_ptr<Exchange> x;
    std::wstring url;
    DWORD timeoutMs;
};

void Run(const std::shared_ptr<Exchange>& x, const std::wstring& url, DWORD timeoutMs) {
    // Its handles close when the thread ends, after the caller has been told.
    Request request;
    bool ok = false;
    int status = 0;
    std::optional<std::uint64_t> length;
    std::optional<std::wstring> location;
    try {
        ok = Send(url, timeoutMs, request);
        if (ok) {
            DWORD number = 0;
            DWORD size = sizeof number;
            if (HttpQueryInfoW(request.request.get(),
                               HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &number, &size,
                               nullptr))
                status = static_cast<int>(number);
            length = QueryLength(request.request.get());
            location = QueryLocation(request.request.get());
        }
    } catch (...) {
        ok = false; // out of memory: no response
    }
    {
        Locked locked(*x);
        x->headDone = true;
        x->headOk = ok;
        x->status = status;
        x->length = length;
        x->location = std::move(location);
        WakeConditionVariable(&x->dataOrEnd);
    }
    if (ok) ReadBody(*x, request.request.get());
}

DWORD WINAPI RunJob(void* parameter) {
    const std::unique_ptr<Job> job(static_cast<Job*>(parameter));
    Run(job->x, job->url, job->timeoutMs);
    return 0;
}

class WinInetResponse : public HttpResponse {
public:
    explicit WinInetResponse(std::shared_ptr<Exchange> x)
        : x_(std::move(x)) {}
    ~WinInetResponse() override { Abandon(*x_); }

    int Status() override { return x_->status; }
    std::optional<std::uint64_t> ContentLength() override { return x_->length; }
    std::optional<std::wstring> Location() override { return x_->location; }

    std::optional<std::size_t> Read(std::span<std::byte> buffer, std::uint64_t deadline) override {
        Exchange& x = *x_;
        std::size_t slot = 0, offset = 0, count = 0;
        {
            Locked locked(x);
            if (!locked.WaitUntil(x.dataOrEnd, deadline,
                                  [&] { return x.filled > 0 || x.ended || x.broken; }))
                return std::nullopt;
            if (x.filled == 0) return x.broken ? std::nullopt : std::optional<std::size_t>(0);
            slot = x.first;
            offset = x.offset;
            count = std::min(buffer.size(), x.counts[slot] - offset);
        }
        // The thread never writes a block that holds bytes not yet taken.
        std::memcpy(buffer.data(), x.blocks[slot].data() + offset, count);
        Locked locked(x);
        x.offset += count;
        if (x.offset == x.counts[slot]) {
            x.first = (x.first + 1) % Exchange::kBlocks;
            --x.filled;
            x.offset = 0;
            WakeConditionVariable(&x.room);
        }
        return count;
    }

    static void Abandon(Exchange& x) {
        Locked locked(x);
        x.abandoned = true;
        WakeConditionVariable(&x.room);
    }

private:
    // Also the thread's: whichever of the two lets go last frees it.
    std::shared_ptr<Exchange> x_;
};

} // namespace

WinInetClient::WinInetClient(int timeoutSeconds)
    : timeoutMs_(static_cast<unsigned long>(timeoutSeconds > 0 ? timeoutSeconds : 1) * 1000) {}

std::unique_ptr<HttpResponse> WinInetClient::Open(const std::wstring& url, std::uint64_t deadline) {
    auto x = std::make_shared<Exchange>();
    auto job = std::make_unique<Job>(Job{x, url, static_cast<DWORD>(timeoutMs_)});
    // The thread is not waited for: its handle goes at once.
    if (!UniqueHandle(CreateThread(nullptr, 0, RunJob, job.get(), 0, nullptr)))
        return nullptr;               // no thread: no request
    static_cast<void>(job.release()); // the thread's now
    bool ok = false;
    {
        Locked locked(*x);
        ok = locked.WaitUntil(x->dataOrEnd, deadline, [&] { return x->headDone; }) && x->headOk;
    }
    if (!ok) {
        WinInetResponse::Abandon(*x);
        return nullptr;
    }
    return std::make_unique<WinInetResponse>(std::move(x));
}

} // namespace tessaly::win
