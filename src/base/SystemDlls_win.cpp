#include <windows.h>

#include <delayimp.h>

#include "base/SystemDlls_win.h"

#include <string>

namespace tessaly::win {
namespace {

// Windows 7 has these only with its update KB2533623, so they are looked up.
using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

HMODULE LoadFromSystemFolder(const char* name) {
    const std::wstring wide(name, name + lstrlenA(name)); // DLL names are ASCII
    // comctl32 by name: the application manifest redirects it to version 6.
    if (lstrcmpiW(wide.c_str(), L"comctl32.dll") == 0)
        return LoadLibraryExW(wide.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The others by full path: by name, a DLL of that name already loaded
    // from anywhere would do (Wine's own gdi32 imports version.dll).
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder) + L"\\" + wide;
    if (HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return module;
    // Without the search flags (Windows 7 before KB2533623) its dependencies
    // are looked for from its own folder on.
    if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC WINAPI DelayLoadNotice(unsigned notice, PDelayLoadInfo info) {
    // Anything else, or a failure here, leaves the loading to the helper,
    // which after UseSystemDllsOnly searches the system folder only as well.
    if (notice != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
    return reinterpret_cast<FARPROC>(LoadFromSystemFolder(info->szDll));
}

} // namespace

HMODULE PreloadSystemDll(const char* name) {
    return LoadFromSystemFolder(name);
}

void UseSystemDllsOnly() {
    const auto set = reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (set && set(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    SetDllDirectoryW(L""); // at least not the current folder
}

} // namespace tessaly::win

// The delay-load helper's hook; linked into every program that calls
// UseSystemDllsOnly, ahead of the runtime library's empty one.
// (delayimp.h declares it extern "C".)
PfnDliHook __pfnDliNotifyHook2 = tessaly::win::DelayLoadNotice;
