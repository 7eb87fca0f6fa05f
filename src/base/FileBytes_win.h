#pragma once
// Whole small files in and out: manifests, signatures, scripts, resources
// saved to disk.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly::win {

// The file's bytes; nullopt when it cannot be opened or read, or holds more
// than `limit` bytes.
std::optional<std::string> ReadFileBytes(const std::wstring& path, std::size_t limit);

// Replaces the file with exactly these bytes; false (the error logged) when
// it could not. A hidden file stays hidden; `hidden` makes a new one so.
bool WriteFileBytes(const std::wstring& path, std::string_view bytes, bool hidden = false);

} // namespace tessaly::win
