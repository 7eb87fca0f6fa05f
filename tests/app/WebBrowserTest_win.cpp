#include <windows.h>
#include <ole2.h>

#include "app/WebBrowserEngine_win.h"
#include "support/TestWindows_win.h"
#include "base/Form_win.h"
#include "base/Handles_win.h"
#include "base/MessageFilter_win.h"
#include "base/PictureBox_win.h"
#include "base/Text.h"
#include "shell/TestServer_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;

namespace {

// The control in a container on a shown window, inside an OLE session. The
// members go in reverse: the control before its container, OLE last.
class WebBrowserControl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ole.ok);
        host.Show();
        container.CreatePixels(host.hwnd(), 10, 10, 400, 300);
        browser = CreateWebBrowser(container.hwnd());
        ASSERT_NE(browser, nullptr);
    }

    struct OleSession {
        OleSession()
            : ok(SUCCEEDED(OleInitialize(nullptr))) {}
        ~OleSession() {
            if (ok) OleUninitialize();
        }
        bool ok;
    } ole;
    test::HostForm host{600, 400};
    PictureBox container{RGB(254, 254, 254)};
    std::unique_ptr<Browser> browser;
};

} // namespace

TEST_F(WebBrowserControl, CancelsAppCommandsAndLetsWebAddressesReachTheServer) {
    ASSERT_FALSE(test::PortFile().empty()) << "the local HTTP server fixture is not running";
    browser->Place(-1, -1, 419, 319);
    std::vector<std::pair<std::wstring, bool>> before; // address, cancelled
    int downloads = 0, errors = 0, completions = 0;
    browser->BeforeNavigate2.Connect([&](const std::wstring& url, bool& cancel) {
        cancel = url.find(L"app://") != std::wstring::npos;
        before.emplace_back(url, cancel);
    });
    browser->DownloadBegin.Connect([&] { ++downloads; });
    browser->NavigateError.Connect([&](const std::wstring&, bool) { ++errors; });
    browser->DocumentComplete.Connect([&](const std::wstring&) { ++completions; });

    browser->Navigate(L"app://minimize");
    ASSERT_TRUE(test::PumpUntil([&] { return !before.empty(); }, 5000));
    EXPECT_EQ(before[0], std::make_pair(std::wstring(L"app://minimize"), true));
    test::PumpUntil([] { return false; }, 300);
    EXPECT_EQ(downloads + errors + completions, 0) << "a cancelled command went on loading";

    const std::string token = "browser-test-" + std::to_string(GetTickCount64());
    const std::wstring page = test::TestServer() + L"client/?" + Utf8ToWide(token);
    browser->Navigate(page);
    const bool reached = test::PumpUntil(
        [&] { return test::TestServerLog().find(token) != std::string::npos; }, 10000);
    EXPECT_TRUE(reached) << "the request never reached the server";
    ASSERT_GE(before.size(), 2u);
    EXPECT_EQ(before[1], std::make_pair(page, false));
}

TEST_F(WebBrowserControl, ThePageHearsItsKeysFromEveryLoopWhileTheControlLives) {
    EXPECT_EQ(MessageFilter::CountFor(container.hwnd()), 1u);
    // Typing is no accelerator: the loop still dispatches it.
    const HWND inner = GetWindow(container.hwnd(), GW_CHILD);
    MSG typed{inner ? inner : container.hwnd(), WM_KEYDOWN, 'A', 1, 0, {}};
    EXPECT_FALSE(PreTranslate(typed));
    browser.reset();
    EXPECT_EQ(MessageFilter::CountFor(container.hwnd()), 0u); // nothing calls a closed control
}
