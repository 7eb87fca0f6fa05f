#pragma once
// The four web addresses the client talks to and the network's time limits.
// Each has a compiled default and can be overridden in Tessaly.ini beside the
// program:
//   [Addresses] LoginPage, GameHome, MakerHome, Manifest
//   [Network]   TimeoutSeconds, TotalSeconds

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

struct Config {
    std::wstring loginPage = L"https://game.tessaly.example/client/";
    std::wstring gameHome = L"https://game.tessaly.example/";
    std::wstring makerHome = L"https://www.kestrel.example/";
    std::wstring manifest = L"https://static.kestrel.example/gamehome/quorl/update.txt";
    // Each connect, send and wait for data.
    int timeoutSeconds = 8;
    // The whole download of one of the updater's files, redirects included.
    int totalSeconds = 120;
};

// Reads one value of the INI file; nullopt when the file or the key is missing.
using ConfigReader =
    std::function<std::optional<std::wstring>(std::wstring_view section, std::wstring_view key)>;

// A value that is not usable (an address that is not absolute http or https, a
// time-out outside 1..300 seconds, a total outside 1..3600) keeps the default and is written to the
// error log, so a typo in the INI file never leaves the client half-configured.
Config LoadConfig(const ConfigReader& read);

// "http://" or "https://" (any letter case), a host without blanks, and no
// control character anywhere (tabs and line breaks included).
bool IsAbsoluteHttpUrl(std::wstring_view text);

} // namespace tessaly
