#include "app/Manifest.h"

#include "base/Text.h"

namespace tessaly {
namespace {

constexpr std::size_t kSkippedPrefix = 8;

} // namespace

std::optional<std::wstring> ManifestVersion(std::wstring_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t cr = text.find(L'\r', start);
        const std::size_t end = cr == std::wstring_view::npos ? text.size() : cr;
        const std::wstring_view line = text.substr(start, end - start);
        if (AsciiLower(line).find(L"version") != std::wstring::npos) {
            const std::wstring_view value =
                line.size() > kSkippedPrefix ? line.substr(kSkippedPrefix) : std::wstring_view();
            return std::wstring(TrimSpaces(value));
        }
        if (cr == std::wstring_view::npos) break;
        start = cr + 1;
        if (start < text.size() && text[start] == L'\n') ++start;
    }
    return std::nullopt;
}

} // namespace tessaly
