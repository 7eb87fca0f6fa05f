#pragma once
// The move-only owner of WinINet handles (sessions, connections, requests).

#include <windows.h>
#include <wininet.h>

#include "base/Handles_win.h"

namespace tessaly::win {

using UniqueInternet = UniqueResource<NullableTraits<HINTERNET, InternetCloseHandle>>;

} // namespace tessaly::win
