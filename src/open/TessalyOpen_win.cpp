// tessaly-open <address> [--service <name>]
//
// Sends a game address to the running Tessaly client, which opens it in a tab
// (or selects the tab that shows it) and comes to the front. Exit codes:
// 0 the client took the address, 1 no client is running, 2 the client refused
// it (not an http or https address), 3 the client did not answer, 64 usage.

#include <windows.h>

#include <ddeml.h>

#include "app/DdeCommand.h"
#include "base/ErrorLog.h"
#include "base/SystemDlls_win.h"

#include <string>
#include <string_view>

namespace {

enum Exit { kSent = 0, kNoClient = 1, kRefused = 2, kNoAnswer = 3, kUsage = 64 };

constexpr DWORD kAnswerTimeoutMs = 10000;

void Say(std::wstring_view text) {
    const std::wstring line = std::wstring(text) + L"\n";
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (WriteConsoleW(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) return;
    // Redirected: UTF-8, as pipes and files expect today.
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), bytes.data(), size,
                        nullptr, nullptr);
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The DDEML instance and its string handles, released in reverse.
class DdeClient {
public:
    DdeClient() {
        if (DdeInitializeW(&instance_, &Callback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
            instance_ = 0;
    }
    ~DdeClient() {
        if (conversation_) DdeDisconnect(conversation_);
        for (HSZ name : {service_, topic_}) {
            if (name) DdeFreeStringHandle(instance_, name);
        }
        if (instance_) DdeUninitialize(instance_);
    }
    DdeClient(const DdeClient&) = delete;
    DdeClient& operator=(const DdeClient&) = delete;

    bool Connect(const std::wstring& service) {
        if (!instance_) return false;
        service_ = DdeCreateStringHandleW(instance_, service.c_str(), CP_WINUNICODE);
        topic_ = DdeCreateStringHandleW(instance_, tessaly::kDdeTopic, CP_WINUNICODE);
        conversation_ = DdeConnect(instance_, service_, topic_, nullptr);
        return conversation_ != nullptr;
    }

    Exit Execute(const std::wstring& command) {
        DWORD result = 0;
        const auto bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
        const HDDEDATA done = DdeClientTransaction(
            reinterpret_cast<LPBYTE>(const_cast<wchar_t*>(command.c_str())), bytes, conversation_,
            nullptr, CF_UNICODETEXT, XTYP_EXECUTE, kAnswerTimeoutMs, &result);
        if (done) return kSent;
        return DdeGetLastError(instance_) == DMLERR_NOTPROCESSED ? kRefused : kNoAnswer;
    }

private:
    static HDDEDATA CALLBACK Callback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
        return nullptr;
    }

    DWORD instance_ = 0;
    HSZ service_ = nullptr;
    HSZ topic_ = nullptr;
    HCONV conversation_ = nullptr;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    tessaly::LogUncaughtExceptions();
    tessaly::win::UseSystemDllsOnly();
    std::wstring address, service = L"Tessaly";
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view arg = argv[i];
        if (arg == L"--service" && i + 1 < argc) {
            service = argv[++i];
        } else if (address.empty()) {
            address = arg;
        } else {
            address.clear();
            break;
        }
    }
    if (address.empty()) {
        Say(L"usage: tessaly-open <address> [--service <name>]");
        return kUsage;
    }

    DdeClient client;
    if (!client.Connect(service)) {
        Say(L"没有正在运行的 " + service + L" 客户端 (no client is running).");
        return kNoClient;
    }
    // The client may come to the front to show the page.
    AllowSetForegroundWindow(ASFW_ANY);
    switch (client.Execute(address)) {
    case kSent:
        Say(L"已发送到客户端 (sent): " + address);
        return kSent;
    case kRefused:
        Say(L"客户端拒绝了这个地址 (refused, not an http or https address): " + address);
        return kRefused;
    default:
        Say(L"客户端没有响应 (the client did not answer).");
        return kNoAnswer;
    }
}
