#pragma once
// Creates the browser a window embeds: the WebBrowser control, or, when the
// environment variable TESSALY_BROWSER_SCRIPT names a script file, a scripted
// browser playing it (for the tests and the tour of a system whose engine
// renders no pages).

#include <windows.h>

#include "app/Browser.h"

#include <memory>

namespace tessaly::win {

std::unique_ptr<Browser> CreateBrowser(HWND container);

} // namespace tessaly::win
