#include "app/BrowserFactory_win.h"

#include "app/ScriptedBrowserView_win.h"
#include "app/WebBrowserEngine_win.h"
#include "base/ErrorLog.h"
#include "base/FileBytes_win.h"
#include "base/Text.h"

#include <optional>
#include <string>
#include <vector>

namespace tessaly::win {
namespace {

std::optional<BrowserScript> ScriptFromEnvironment() {
    const DWORD length = GetEnvironmentVariableW(L"TESSALY_BROWSER_SCRIPT", nullptr, 0);
    if (length == 0) return std::nullopt;
    std::vector<wchar_t> path(length);
    GetEnvironmentVariableW(L"TESSALY_BROWSER_SCRIPT", path.data(), length);
    const auto bytes = ReadFileBytes(path.data(), 1 << 20);
    if (!bytes) {
        LogError(L"browser script " + std::wstring(path.data()) +
                 L" cannot be read; pages will not load");
        return BrowserScript{};
    }
    try {
        return BrowserScript::Parse(Utf8ToWide(*bytes));
    } catch (...) {
        LogCurrentException(L"browser script " + std::wstring(path.data()));
        return BrowserScript{};
    }
}

} // namespace

std::unique_ptr<Browser> CreateBrowser(HWND container) {
    static const std::optional<BrowserScript> script = ScriptFromEnvironment();
    if (script) return std::make_unique<ScriptedBrowserView>(container, *script);
    if (auto browser = CreateWebBrowser(container)) return browser;
    // Without a control the page never completes, and the login window ends
    // the client with its connection message after its wait.
    return std::make_unique<ScriptedBrowserView>(container, BrowserScript{});
}

} // namespace tessaly::win
