#include <windows.h>
#include <tlhelp32.h>

#include "updater/WinUpdateActions_win.h"

#include "base/Handles_win.h"
#include "base/Text.h"
#include "updater/ClientProcessWait_win.h"

#include <vector>

namespace tessaly::win {
namespace {

std::wstring FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::vector<wchar_t> buffer(size);
    GetFullPathNameW(path.c_str(), size, buffer.data(), nullptr);
    return AsciiLower(buffer.data());
}

std::wstring ImagePath(DWORD pid) {
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid));
    if (!process) return {};
    std::vector<wchar_t> buffer(32768);
    DWORD size = static_cast<DWORD>(buffer.size());
    if (!QueryFullProcessImageNameW(process.get(), 0, buffer.data(), &size)) return {};
    return AsciiLower(std::wstring(buffer.data(), size));
}

} // namespace

bool WaitForProgramExit(const std::wstring& exePath, unsigned long timeoutMs) {
    const std::wstring wanted = FullPath(exePath);
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        bool running = false;
        UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        if (snapshot && Process32FirstW(snapshot.get(), &entry)) {
            do {
                if (entry.th32ProcessID != GetCurrentProcessId() &&
                    ImagePath(entry.th32ProcessID) == wanted)
                    running = true;
            } while (!running && Process32NextW(snapshot.get(), &entry));
        }
        if (!running) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(100);
    }
}

WinUpdateActions::WinUpdateActions(QelDownLoadFile& downloader, std::wstring clientExe,
                                   unsigned long clientPid)
    : downloader_(downloader)
    , clientExe_(std::move(clientExe))
    , clientPid_(clientPid) {}

bool WinUpdateActions::Download(const ManifestFile& file, const std::wstring& path) {
    // A stopped download reports success but replaces nothing: only a file
    // that is there counts.
    const bool arrived = downloader_.DownLoadFile(file.url, path, false, true);
    return arrived && !cancelled && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WinUpdateActions::WaitForClientExit() {
    // The client ends right after starting the updater; give it a little while.
    constexpr ULONGLONG kWaitMs = 15000;
    const ULONGLONG deadline = GetTickCount64() + kWaitMs;
    if (!WaitForClientProcess(clientPid_, clientExe_, kWaitMs)) return false;
    // Any other copy of the client run from that file holds it as well.
    const ULONGLONG now = GetTickCount64();
    return clientExe_.empty() ||
           WaitForProgramExit(clientExe_,
                              now < deadline ? static_cast<unsigned long>(deadline - now) : 0);
}

} // namespace tessaly::win
