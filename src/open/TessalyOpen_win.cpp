// tessaly-open <address> [--service <name>]
//
// Sends a game address to the running Tessaly client, which opens it in a tab
// (or selects the tab that shows it) and comes to the front. Exit codes:
// 0 the client took the address, 1 no client is running, 2 the client refused
// it (not an http or https address), 3 the client did not answer, 64 usage.

#include <windows.h>

#include <ddeml.h>

#include "app/DdeCommand.h"
#include "base/SystemDlls_win.h"

#include <initializer_list>
#include <string_view>

namespace {

enum Exit { kSent = 0, kNoClient = 1, kRefused = 2, kNoAnswer = 3, kUsage = 64 };

constexpr DWORD kAnswerTimeoutMs = 10000;

// One line made of parts. The program carries no C++ library strings and no
// exceptions (it is built without them): some 17 KiB instead of over 100.
void Say(std::initializer_list<std::wstring_view> parts) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    const bool console = GetConsoleMode(out, &written) != 0;
    for (std::wstring_view part : parts) {
        while (!part.empty()) {
            std::size_t count = part.size() < 1024 ? part.size() : 1024;
            // A surrogate pair stays whole.
            if (count < part.size() && part[count - 1] >= 0xD800 && part[count - 1] <= 0xDBFF)
                --count;
            if (console) {
                WriteConsoleW(out, part.data(), static_cast<DWORD>(count), &written, nullptr);
            } else {
                // Redirected: UTF-8, as pipes and files expect today.
                char bytes[4 * 1024];
                const int size =
                    WideCharToMultiByte(CP_UTF8, 0, part.data(), static_cast<int>(count), bytes,
                                        sizeof bytes, nullptr, nullptr);
                WriteFile(out, bytes, static_cast<DWORD>(size), &written, nullptr);
            }
            part.remove_prefix(count);
        }
    }
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

    bool Connect(const wchar_t* service) {
        if (!instance_) return false;
        service_ = DdeCreateStringHandleW(instance_, service, CP_WINUNICODE);
        topic_ = DdeCreateStringHandleW(instance_, tessaly::kDdeTopic, CP_WINUNICODE);
        conversation_ = DdeConnect(instance_, service_, topic_, nullptr);
        return conversation_ != nullptr;
    }

    Exit Execute(const wchar_t* command) {
        DWORD result = 0;
        const auto bytes = static_cast<DWORD>((lstrlenW(command) + 1) * sizeof(wchar_t));
        const HDDEDATA done = DdeClientTransaction(
            reinterpret_cast<LPBYTE>(const_cast<wchar_t*>(command)), bytes, conversation_, nullptr,
            CF_UNICODETEXT, XTYP_EXECUTE, kAnswerTimeoutMs, &result);
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
    tessaly::win::UseSystemDllsOnly();
    const wchar_t* address = nullptr;
    const wchar_t* service = L"Tessaly";
    bool usage = false;
    for (int i = 1; i < argc; ++i) {
        if (std::wstring_view(argv[i]) == L"--service" && i + 1 < argc) {
            service = argv[++i];
        } else if (!address || !*address) {
            address = argv[i];
        } else {
            usage = true;
        }
    }
    if (!address || !*address || usage) {
        Say({L"usage: tessaly-open <address> [--service <name>]\n"});
        return kUsage;
    }

    DdeClient client;
    if (!client.Connect(service)) {
        Say({L"没有正在运行的 ", service, L" 客户端 (no client is running).\n"});
        return kNoClient;
    }
    // The client may come to the front to show the page.
    AllowSetForegroundWindow(ASFW_ANY);
    switch (client.Execute(address)) {
    case kSent:
        Say({L"已发送到客户端 (sent): ", address, L"\n"});
        return kSent;
    case kRefused:
        Say({L"客户端拒绝了这个地址 (refused, not an http or https address): ", address, L"\n"});
        return kRefused;
    default:
        Say({L"客户端没有响应 (the client did not answer).\n"});
        return kNoAnswer;
    }
}
