// Browser scripts are files named by an environment variable. A script that
// parses must play to its end, its waits or a numbered error: never hang.

#include "FuzzInput.h"

#include "app/ScriptedBrowser.h"
#include "base/Error.h"

#include <algorithm>

using namespace tessaly;
using namespace tessaly::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BrowserScript script;
    try {
        script = BrowserScript::Parse(TextOf(data, size));
    } catch (const Error& e) {
        Require(e.number() == error::kInvalidArgument,
                "an unreadable script is an invalid argument");
        return 0;
    }
    for (const ScriptSection& section : script.sections) {
        for (const ScriptStep& step : section.steps) {
            if (step.kind == ScriptStep::Kind::Wait)
                Require(step.number >= 0 && step.number <= kMaxWaitMilliseconds,
                        "a wait fits a timer");
        }
    }

    ScriptedBrowser browser(script);
    // As the login window does: the client's own commands do not navigate.
    browser.BeforeNavigate2.Connect(
        [](const std::wstring& url, bool, bool& cancel) { cancel = url.starts_with(L"app://"); });
    const std::size_t sections = std::min<std::size_t>(script.sections.size(), 4);
    for (std::size_t i = 0; i < sections; ++i) {
        browser.Navigate(L"http://127.0.0.1:8080/" + script.sections[i].pattern);
        try {
            for (int waits = 0; waits < 32 && browser.Advance(); ++waits) {
            }
        } catch (const Error& e) {
            Require(e.number() == error::kInvalidArgument,
                    "a looping script is an invalid argument");
        }
    }
    return 0;
}
