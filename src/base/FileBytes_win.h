#pragma once
// A small file read whole.

#include <optional>
#include <string>

namespace tessaly::win {

// The file's bytes; nullopt when there is no such file (hidden ones count),
// it cannot be read, or it holds more than maxBytes.
std::optional<std::string> ReadFileBytes(const std::wstring& path, unsigned long long maxBytes);

} // namespace tessaly::win
