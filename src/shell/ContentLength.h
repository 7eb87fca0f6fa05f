#pragma once
// Reads a Content-Length header's text, for HTTP stacks that cannot give it as
// a 64-bit number (Wine's WinINet lacks HTTP_QUERY_FLAG_NUMBER64).

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaly {

// Decimal digits with optional blanks around them; nullopt for anything else,
// including a value past 64 bits: a length that cannot be trusted is no length.
std::optional<std::uint64_t> ParseContentLength(std::wstring_view text);

} // namespace tessaly
