#include "update/VersionOrder.h"

#include <array>
#include <optional>

namespace tessaly {
namespace {

constexpr std::size_t kMaxNumbers = 3;
constexpr unsigned kMaxNumber = 65535;

using Numbers = std::array<unsigned, kMaxNumbers>;

std::optional<Numbers> Parse(std::wstring_view text) {
    Numbers numbers{};
    std::size_t count = 0;
    bool digitSeen = false;
    for (const wchar_t c : text) {
        if (c == L'.' && digitSeen && count + 1 < kMaxNumbers) {
            ++count;
            digitSeen = false;
        } else if (c >= L'0' && c <= L'9') {
            numbers[count] = numbers[count] * 10 + static_cast<unsigned>(c - L'0');
            if (numbers[count] > kMaxNumber) return std::nullopt;
            digitSeen = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digitSeen) return std::nullopt; // empty, or a dot at the end
    return numbers;
}

} // namespace

VersionOrder CompareVersions(std::wstring_view offered, std::wstring_view own) {
    const auto a = Parse(offered);
    const auto b = Parse(own);
    if (!a || !b) return VersionOrder::Unreadable;
    if (*a < *b) return VersionOrder::Lower;
    return *a == *b ? VersionOrder::Same : VersionOrder::Higher;
}

bool IsVersionText(std::wstring_view text) {
    return Parse(text).has_value();
}

} // namespace tessaly
