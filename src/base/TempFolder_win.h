#pragma once
// The user's temporary folder.

#include <string>

namespace tessaly::win {

// The user's temporary folder, ending in exactly one backslash.
std::wstring GetTempDir();

} // namespace tessaly::win
