#include <windows.h>

#include "update/UpdateFiles_win.h"

#include "base/ErrorLog.h"
#include "base/FileBytes_win.h"
#include "base/Handles_win.h"
#include "base/Text.h"
#include "update/Cng_win.h"

namespace tessaly::win {
namespace {

bool IsGone(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Runs `attempt` until it succeeds or fails for a reason other than someone
// else holding the file, for at most about three seconds.
template <class Attempt> bool Retrying(Attempt attempt) {
    for (int tries = 0;; ++tries) {
        if (attempt()) return true;
        const DWORD error = GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          error == ERROR_ACCESS_DENIED;
        if (!held || tries == 30) {
            SetLastError(error);
            return false;
        }
        Sleep(100);
    }
}

// A read-only file refuses to be replaced or deleted.
void MakeWritable(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

bool Flush(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && FlushFileBuffers(file.get());
}

} // namespace

bool WinUpdateFiles::Exists(const std::wstring& path) {
    // Only a file that is certainly absent counts as absent.
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES || !IsGone(GetLastError());
}

std::wstring FileSha256Hex(const std::wstring& path) {
    UniqueHandle file;
    Retrying([&] {
        file.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        return static_cast<bool>(file);
    });
    if (!file) return {};
    Sha256 hash;
    std::vector<std::byte> buffer(64 * 1024);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            return {};
        if (read == 0) break;
        hash.Add(std::span(buffer).first(read));
    }
    const std::optional<Sha256Digest> digest = hash.Finish();
    return digest ? LowerHex(*digest) : std::wstring();
}

std::optional<std::wstring> WinUpdateFiles::Sha256Hex(const std::wstring& path) {
    std::wstring hex = FileSha256Hex(path);
    if (hex.empty()) return std::nullopt;
    return hex;
}

std::optional<std::string> WinUpdateFiles::Read(const std::wstring& path, std::size_t maxBytes) {
    return ReadFileBytes(path, maxBytes);
}

bool WinUpdateFiles::WriteDurably(const std::wstring& path, std::string_view bytes) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size() && FlushFileBuffers(file.get());
}

bool WinUpdateFiles::CopyDurably(const std::wstring& from, const std::wstring& to) {
    if (!Retrying([&] { return CopyFileW(from.c_str(), to.c_str(), TRUE) != FALSE; })) return false;
    MakeWritable(to);
    return Flush(to);
}

bool WinUpdateFiles::Replace(const std::wstring& from, const std::wstring& to) {
    MakeWritable(to);
    return Retrying([&] {
        return MoveFileExW(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    });
}

bool WinUpdateFiles::Delete(const std::wstring& path) {
    MakeWritable(path);
    return Retrying([&] { return DeleteFileW(path.c_str()) || IsGone(GetLastError()); });
}

std::optional<std::vector<std::wstring>> WinUpdateFiles::FileNames(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    UniqueFind find(FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0));
    if (!find) return std::nullopt;
    std::vector<std::wstring> names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(find.get(), &found));
    if (GetLastError() != ERROR_NO_MORE_FILES) return std::nullopt;
    return names;
}

void WinUpdateFiles::Log(const std::wstring& text) {
    LogError(L"update: " + text);
}

void FinishInterruptedUpdate(const std::wstring& folder) {
    const std::wstring journal = folder + kJournalName;
    if (GetFileAttributesW(journal.c_str()) == INVALID_FILE_ATTRIBUTES &&
        GetFileAttributesW((journal + L".tmp").c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    UniqueHandle single(CreateMutexW(nullptr, FALSE, kUpdaterMutexName));
    if (!single || GetLastError() == ERROR_ALREADY_EXISTS) return;
    WinUpdateFiles files;
    const Recovery recovery = FinishUpdate(folder, files);
    if (recovery.state == InstallState::New) LogError(L"update: finished the update in " + folder);
    if (recovery.state == InstallState::Old)
        LogError(L"update: put back the old files in " + folder);
    if (!recovery.clean) LogError(L"update: " + folder + L" still holds an unfinished update");
}

} // namespace tessaly::win
