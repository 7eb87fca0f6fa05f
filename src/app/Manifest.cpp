#include "app/Manifest.h"

#include "base/Text.h"

namespace tessaly {
namespace {

constexpr std::size_t kSkippedPrefix = 8;

} // namespace

std::vector<std::wstring_view> ManifestLines(std::wstring_view text) {
    std::vector<std::wstring_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t cr = text.find(L'\r', start);
        const std::size_t end = cr == std::wstring_view::npos ? text.size() : cr;
        lines.push_back(text.substr(start, end - start));
        if (cr == std::wstring_view::npos) break;
        start = cr + 1;
        if (start < text.size() && text[start] == L'\n') ++start;
    }
    return lines;
}

bool IsVersionLine(std::wstring_view line) {
    return AsciiLower(line).find(L"version") != std::wstring::npos;
}

std::optional<std::wstring> ManifestVersion(std::wstring_view text) {
    for (const std::wstring_view line : ManifestLines(text)) {
        if (!IsVersionLine(line)) continue;
        const std::wstring_view value =
            line.size() > kSkippedPrefix ? line.substr(kSkippedPrefix) : std::wstring_view();
        return std::wstring(TrimSpaces(value));
    }
    return std::nullopt;
}

} // namespace tessaly
