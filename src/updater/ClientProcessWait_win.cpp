#include <windows.h>

#include "updater/ClientProcessWait_win.h"

#include "base/Handles_win.h"
#include "base/Text.h"

#include <optional>
#include <vector>

namespace tessaly::win {
namespace {

struct FileIdentity {
    DWORD volume;
    DWORD high;
    DWORD low;
    bool operator==(const FileIdentity&) const = default;
};

// Which file a path names, however it is spelt.
std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
    const UniqueHandle file(
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

bool MayBeTheClient(HANDLE process, const std::wstring& clientExe) {
    std::vector<wchar_t> buffer(32768);
    DWORD size = static_cast<DWORD>(buffer.size());
    if (clientExe.empty() || !QueryFullProcessImageNameW(process, 0, buffer.data(), &size))
        return true;
    const std::wstring image(buffer.data(), size);
    if (AsciiLower(image) == AsciiLower(clientExe)) return true;
    const auto running = IdentityOf(image), client = IdentityOf(clientExe);
    return !running || !client || *running == *client;
}

} // namespace

bool WaitForClientProcess(unsigned long pid, const std::wstring& clientExe,
                          unsigned long timeoutMs) {
    if (pid == 0) return true;
    UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    // A process of another account (an elevated client) may still be waited for.
    if (!process && GetLastError() == ERROR_ACCESS_DENIED)
        process.reset(OpenProcess(SYNCHRONIZE, FALSE, pid));
    // No such process: the client has ended already. One that cannot be
    // waited for may be the client still running.
    if (!process) return GetLastError() != ERROR_ACCESS_DENIED;
    if (!MayBeTheClient(process.get(), clientExe)) return true;
    return WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0;
}

} // namespace tessaly::win
