#pragma once
// The URL cache of WinINet, for ClearUrlCache.

#include "shell/CacheMain.h"

#include <cstdint>
#include <string>

namespace tessaly::win {

// Clears the cache of this user with WinINet; see CacheMain.h.
void ClearUrlCache(const std::wstring& pattern, std::uint32_t keepMask);

} // namespace tessaly::win
