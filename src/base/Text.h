#pragma once
// Text inside the program is wide (UTF-16 on Windows). These conversions are
// the portable ones; the system code page lives with the platform code
// (CodePage_win.h).

#include <span>
#include <string>
#include <string_view>

namespace tessaly {

// Invalid UTF-8 becomes U+FFFD; nothing is dropped silently.
std::wstring Utf8ToWide(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view wide);

// Lower-cases A-Z only: names, switches and keywords of this program are ASCII,
// and locale-dependent folding would make them match differently per machine.
std::wstring AsciiLower(std::wstring_view text);
std::string AsciiLower(std::string_view text);
bool EqualsIgnoreAsciiCase(std::wstring_view a, std::wstring_view b);

std::wstring_view TrimSpaces(std::wstring_view text);
// Two lower-case hex digits per byte, as hashes are written.
std::wstring LowerHex(std::span<const unsigned char> bytes);
std::string_view TrimSpaces(std::string_view text);
// An integer in decimal, as messages and file names show it (std::to_wstring
// would bring in the C library's printf engine).
std::wstring DecimalText(long long value);

} // namespace tessaly
