#include "app/DdeCommand.h"

#include "base/Config.h"

#include <cstring>

namespace tessaly {
namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0x3000;
}

std::wstring Utf16Reading(std::string_view bytes) {
    std::wstring text(bytes.size() / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return text.substr(0, text.find(L'\0'));
}

} // namespace

std::optional<std::wstring> GameAddressFromDde(std::wstring_view command) {
    std::size_t first = 0, last = command.size();
    while (first < last && IsBlank(command[first]))
        ++first;
    while (last > first && IsBlank(command[last - 1]))
        --last;
    const std::wstring_view address = command.substr(first, last - first);
    if (address.size() > kMaxDdeAddressLength || !IsAbsoluteHttpUrl(address)) return std::nullopt;
    return std::wstring(address);
}

std::wstring DecodeDdeCommand(std::string_view bytes,
                              const std::function<std::wstring(std::string_view)>& fromCodePage) {
    const std::wstring wide = Utf16Reading(bytes);
    if (GameAddressFromDde(wide)) return wide;
    const std::wstring narrow = fromCodePage(bytes.substr(0, bytes.find('\0')));
    if (GameAddressFromDde(narrow)) return narrow;
    return bytes.size() % 2 == 0 ? wide : narrow;
}

} // namespace tessaly
