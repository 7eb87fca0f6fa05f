#include "base/Config.h"

#include "base/ErrorLog.h"
#include "base/Text.h"

#include <algorithm>
#include <charconv>

namespace tessaly {
namespace {

void ReadAddress(const ConfigReader& read, std::wstring_view key, std::wstring& target) {
    const auto value = read(L"Addresses", key);
    if (!value) return;
    const std::wstring_view trimmed = TrimSpaces(std::wstring_view(*value));
    if (trimmed.empty()) return;
    if (!IsAbsoluteHttpUrl(trimmed)) {
        LogError(L"Tessaly.ini: [Addresses] " + std::wstring(key) +
                 L" is not an http or https address; using " + target);
        return;
    }
    target = trimmed;
}

std::optional<int> ParseInt(std::wstring_view text) {
    const std::string narrow = WideToUtf8(TrimSpaces(text));
    int value = 0;
    const auto [end, ec] = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
    if (ec != std::errc() || end != narrow.data() + narrow.size() || narrow.empty()) return {};
    return value;
}

void ReadSeconds(const ConfigReader& read, std::wstring_view key, int most, int& target) {
    const auto text = read(L"Network", key);
    if (!text || text->empty()) return;
    if (const auto seconds = ParseInt(*text); seconds && *seconds >= 1 && *seconds <= most) {
        target = *seconds;
        return;
    }
    LogError(L"Tessaly.ini: [Network] " + std::wstring(key) + L" must be 1 to " +
             DecimalText(most) + L"; using " + DecimalText(target));
}

} // namespace

bool IsAbsoluteHttpUrl(std::wstring_view text) {
    // A browser or WinINet silently drops tabs and line breaks from an address,
    // so an address holding them would open something other than what the
    // check saw; other control characters have no place in one either.
    const bool hasControl = std::any_of(
        text.begin(), text.end(), [](wchar_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); });
    if (hasControl) return false;
    const std::wstring lower = AsciiLower(text);
    for (std::wstring_view scheme : {L"http://", L"https://"}) {
        if (lower.starts_with(scheme)) {
            const std::wstring_view rest = std::wstring_view(lower).substr(scheme.size());
            const auto hostEnd = rest.find_first_of(L"/?#");
            const std::wstring_view host = rest.substr(0, hostEnd);
            return !host.empty() && host.find(L' ') == std::wstring_view::npos;
        }
    }
    return false;
}

Config LoadConfig(const ConfigReader& read) {
    Config config;
    ReadAddress(read, L"LoginPage", config.loginPage);
    ReadAddress(read, L"GameHome", config.gameHome);
    ReadAddress(read, L"MakerHome", config.makerHome);
    ReadAddress(read, L"Manifest", config.manifest);
    ReadSeconds(read, L"TimeoutSeconds", 300, config.timeoutSeconds);
    ReadSeconds(read, L"TotalSeconds", 3600, config.totalSeconds);
    return config;
}

} // namespace tessaly
