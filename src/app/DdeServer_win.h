#pragma once
// The main window's DDE link: other programs open a conversation with the
// service (the client's executable name) on one topic and send execute
// commands. The link exists exactly as long as this object.

#include <windows.h>

#include <ddeml.h>

#include <functional>
#include <string>

namespace tessaly::win {

class DdeServer {
public:
    // Gets the decoded command; true accepts it, false refuses it. It runs
    // inside the DDE callback: it must return quickly and not throw.
    using Execute = std::function<bool(const std::wstring& command)>;

    DdeServer(const std::wstring& service, const std::wstring& topic, Execute execute);
    ~DdeServer();
    DdeServer(const DdeServer&) = delete;
    DdeServer& operator=(const DdeServer&) = delete;

    // False when the link could not be set up (logged).
    bool ok() const { return service_ != nullptr; }

private:
    static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conversation, HSZ hsz1,
                                      HSZ hsz2, HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);
    HDDEDATA OnExecute(HSZ topic, HDDEDATA data);
    bool IsOurs(HSZ topic, HSZ service) const;

    Execute execute_;
    DWORD instance_ = 0;
    HSZ service_ = nullptr;
    HSZ topic_ = nullptr;
};

} // namespace tessaly::win
