#pragma once
// The platform's WebBrowser control as the client's browser engine: hosted
// with plain COM in-place activation inside a container window, its events
// taken from a separate sink object.

#include <windows.h>

#include "app/Browser.h"

#include <memory>
#include <span>
#include <string>

namespace tessaly::win {

// Null when the control cannot be created on this system.
std::unique_ptr<Browser> CreateWebBrowser(HWND container);

// The engine reads its feature controls per program: a value named after the
// executable under a key per feature, below this key of the current user.
inline constexpr wchar_t kFeatureControlKey[] =
    L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl";

struct BrowserFeatureControl {
    const wchar_t* name;
    DWORD value;
};
std::span<const BrowserFeatureControl> BrowserFeatureControls();

// Writes every feature control for exeName ("Tessaly.exe"); must run before
// the first control of the process is created.
void WriteBrowserFeatureControls(const std::wstring& exeName);
// For this program's own executable.
void UseBrowserFeatureControls();

} // namespace tessaly::win
