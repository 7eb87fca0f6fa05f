#pragma once
// What the updater accepts as a place to write: the client's folder as an
// absolute path, and names of files directly inside it. Anything else could
// resolve against whatever the current folder happens to be, reach outside
// the folder, or open a device.

#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// The pieces between the separators; as many as separators plus one.
std::vector<std::wstring_view> SplitAt(std::wstring_view text, wchar_t separator);

// Why a file name cannot be used in the client's folder, or empty when it can.
std::wstring UnsafeNameReason(std::wstring_view name);

// "X:\...\" or "\\server\share\...\" (ending in a backslash), without "." or
// ".." steps, empty steps or characters that no folder name holds.
bool IsAbsoluteFolder(std::wstring_view folder);

} // namespace tessaly
