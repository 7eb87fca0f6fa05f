#pragma once
// What another program may send the main window over its DDE link: one game
// address per execute command. Anything else is refused and opens nothing.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

inline constexpr std::size_t kMaxDdeAddressLength = 2048;
inline constexpr wchar_t kDdeTopic[] = L"KestrelDDE";

// The address the command names, without surrounding blanks; nullopt unless
// it is an absolute http or https address of at most 2,048 characters.
std::optional<std::wstring> GameAddressFromDde(std::wstring_view command);

// Execute data arrives as the sender wrote it: UTF-16 from Unicode programs,
// the system code page from the others, ended by a zero or not. The reading
// that gives a valid address wins; with none, the UTF-16 one when the byte
// count allows it.
std::wstring DecodeDdeCommand(std::string_view bytes,
                              const std::function<std::wstring(std::string_view)>& fromCodePage);

} // namespace tessaly
