#include <windows.h>

#include "base/TempFolder_win.h"

#include <vector>

namespace tessaly::win {

std::wstring GetTempDir() {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length > buffer.size()) {
        buffer.resize(length);
        length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    std::wstring path(buffer.data()); // cut at the first NUL
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path;
}

} // namespace tessaly::win
