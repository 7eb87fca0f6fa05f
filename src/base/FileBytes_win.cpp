#include <windows.h>

#include "base/FileBytes_win.h"

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

} // namespace tessaly::win
