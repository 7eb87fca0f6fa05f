#include "app/DdeServer_win.h"

#include "app/DdeCommand.h"
#include "base/CodePage_win.h"
#include "base/ErrorLog.h"

#include <string_view>
#include <vector>

namespace tessaly::win {
namespace {

// DDEML calls back without a context pointer; there is one link per process.
DdeServer* g_server = nullptr;

} // namespace

DdeServer::DdeServer(const std::wstring& service, const std::wstring& topic, Execute execute)
    : execute_(std::move(execute)) {
    if (g_server) {
        LogError(L"DDE link: a second link in one process is not supported");
        return;
    }
    const UINT flags = APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES | CBF_FAIL_REQUESTS |
                       CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS;
    if (DdeInitializeW(&instance_, &DdeServer::Callback, flags, 0) != DMLERR_NO_ERROR) {
        LogError(L"DDE link: DdeInitialize failed");
        instance_ = 0;
        return;
    }
    g_server = this;
    topic_ = DdeCreateStringHandleW(instance_, topic.c_str(), CP_WINUNICODE);
    const HSZ name = DdeCreateStringHandleW(instance_, service.c_str(), CP_WINUNICODE);
    if (!topic_ || !name || !DdeNameService(instance_, name, nullptr, DNS_REGISTER)) {
        LogError(L"DDE link: the service " + service + L" could not be registered");
        if (name) DdeFreeStringHandle(instance_, name);
        return;
    }
    service_ = name;
}

DdeServer::~DdeServer() {
    if (!instance_) return;
    if (service_) {
        DdeNameService(instance_, service_, nullptr, DNS_UNREGISTER);
        DdeFreeStringHandle(instance_, service_);
    }
    if (topic_) DdeFreeStringHandle(instance_, topic_);
    // Ends every conversation still open, which calls back once more.
    DdeUninitialize(instance_);
    g_server = nullptr;
}

bool DdeServer::IsOurs(HSZ topic, HSZ service) const {
    return service_ && DdeCmpStringHandles(topic, topic_) == 0 &&
           (!service || DdeCmpStringHandles(service, service_) == 0);
}

HDDEDATA DdeServer::OnExecute(HSZ topic, HDDEDATA data) {
    if (!IsOurs(topic, nullptr) || !data) return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
    const DWORD size = DdeGetData(data, nullptr, 0, 0);
    std::vector<char> bytes(size);
    if (size) DdeGetData(data, reinterpret_cast<LPBYTE>(bytes.data()), size, 0);
    const std::wstring command =
        DecodeDdeCommand(std::string_view(bytes.data(), bytes.size()),
                         [](std::string_view narrow) { return FromSystemCodePage(narrow); });
    const bool accepted = execute_ && execute_(command);
    return reinterpret_cast<HDDEDATA>(accepted ? DDE_FACK : DDE_FNOTPROCESSED);
}

HDDEDATA CALLBACK DdeServer::Callback(UINT type, UINT, HCONV, HSZ hsz1, HSZ hsz2, HDDEDATA data,
                                      ULONG_PTR, ULONG_PTR) {
    try {
        if (!g_server) return nullptr;
        switch (type) {
        case XTYP_CONNECT:
            return reinterpret_cast<HDDEDATA>(static_cast<INT_PTR>(g_server->IsOurs(hsz1, hsz2)));
        case XTYP_EXECUTE:
            return g_server->OnExecute(hsz1, data);
        default:
            return nullptr;
        }
    } catch (...) {
        LogCurrentException(L"DDE link");
        return type == XTYP_EXECUTE ? reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED) : nullptr;
    }
}

} // namespace tessaly::win
