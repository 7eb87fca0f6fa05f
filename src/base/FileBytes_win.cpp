#include <windows.h>

#include "base/FileBytes_win.h"

#include "base/ErrorLog.h"
#include "base/Handles_win.h"

namespace tessaly::win {

std::optional<std::string> ReadFileBytes(const std::wstring& path, unsigned long long maxBytes) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        return std::nullopt;
    // One byte more than the size said: a file that grows meanwhile is not what was measured.
    std::string bytes(static_cast<std::size_t>(size.QuadPart) + 1, '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read > static_cast<unsigned long long>(size.QuadPart))
        return std::nullopt;
    bytes.resize(read);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes, bool hidden) {
    // Windows refuses CREATE_ALWAYS over a hidden or system file unless the
    // call asks for those attributes too.
    const DWORD existing = GetFileAttributesW(path.c_str());
    DWORD attributes = hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL;
    if (existing != INVALID_FILE_ATTRIBUTES &&
        (existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        attributes = existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    DWORD written = 0;
    const bool ok =
        file &&
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    if (!ok) LogError(L"cannot write " + path);
    return ok;
}

} // namespace tessaly::win
