#pragma once
// The platform's WebBrowser control as the client's browser engine: hosted
// with plain COM in-place activation inside a container window, its events
// taken from a separate sink object.

#include <windows.h>

#include "app/Browser.h"

#include <memory>

namespace tessaly::win {

// Null when the control cannot be created on this system.
std::unique_ptr<Browser> CreateWebBrowser(HWND container);

// Asks the control to render this program's pages in the engine's current
// mode rather than its legacy one (a per-user setting, keyed by exe name).
void UseCurrentBrowserEmulation();

} // namespace tessaly::win
