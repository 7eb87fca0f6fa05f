#include <windows.h>
#include <bcrypt.h>
#include <sddl.h>

#include "update/RunFolder_win.h"

#include "base/ErrorLog.h"
#include "base/Handles_win.h"
#include "base/Text.h"
#include "update/UpdateFiles_win.h"

#include <array>
#include <vector>

namespace tessaly::win {
namespace {

struct LocalTraits {
    using Type = void*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Release(Type h) { LocalFree(h); }
};
using UniqueLocal = UniqueResource<LocalTraits>;

// The current user's SID as text ("S-1-5-21-..."); empty when unknown.
std::wstring CurrentUserSid() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
    const UniqueHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return {};
    // TOKEN_USER holds a pointer: the buffer must be aligned for it.
    std::vector<void*> buffer(size / sizeof(void*) + 1);
    if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
        return {};
    const UniqueLocal owned(text);
    return text;
}

} // namespace

std::optional<std::wstring> CreateRunFolder(const std::wstring& parent) {
    const std::wstring sid = CurrentUserSid();
    // Protected (P): nothing inherited from the temporary folder; full access
    // for the user alone, passed on to the files made inside (OICI).
    const std::wstring sddl = L"D:P(A;OICI;FA;;;" + sid + L")";
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (sid.empty() || !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                           sddl.c_str(), SDDL_REVISION_1, &raw, nullptr)) {
        LogError(L"update: no access list for the user's own folder (" +
                 std::to_wstring(GetLastError()) + L")");
        return std::nullopt;
    }
    const UniqueLocal descriptor(raw);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
    // A name that is taken (left by an earlier run, or put there on purpose)
    // is not this run's: another name, a few times.
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::array<unsigned char, 8> random{};
        if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, random.data(),
                                            static_cast<ULONG>(random.size()),
                                            BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
            break;
        const std::wstring folder = parent + kRunFolderPrefix + LowerHex(random) + L"\\";
        if (CreateDirectoryW(folder.c_str(), &attributes)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    LogError(L"update: cannot make a folder of its own in " + parent + L" (" +
             std::to_wstring(GetLastError()) + L")");
    return std::nullopt;
}

void RemoveRunFolders(const std::wstring& parent) {
    if (UniqueHandle running(OpenMutexW(SYNCHRONIZE, FALSE, kUpdaterMutexName)); running) return;
    WIN32_FIND_DATAW found{};
    UniqueFind find(FindFirstFileExW((parent + kRunFolderPrefix + L"*").c_str(), FindExInfoBasic,
                                     &found, FindExSearchNameMatch, nullptr, 0));
    if (!find) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        const std::wstring folder = parent + found.cFileName + L"\\";
        for (const wchar_t* name : {L"Update.exe", L"update.txt", L"update.txt.sig"})
            DeleteFileW((folder + name).c_str());
        RemoveDirectoryW(folder.c_str());
    } while (FindNextFileW(find.get(), &found));
}

} // namespace tessaly::win
