#pragma once
// Whole small files in and out: manifests, signatures, scripts, resources
// saved to disk.

#include <optional>
#include <string>
#include <string_view>

namespace tessaly::win {

// The file's bytes; nullopt when there is no such file (hidden ones count),
// it cannot be read, or it holds more than maxBytes.
std::optional<std::string> ReadFileBytes(const std::wstring& path, unsigned long long maxBytes);

// Replaces the file with exactly these bytes; false (the error logged) when
// it could not. A hidden file stays hidden; `hidden` makes a new one so.
bool WriteFileBytes(const std::wstring& path, std::string_view bytes, bool hidden = false);

} // namespace tessaly::win
