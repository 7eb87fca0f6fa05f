#include "app/WebUrl_win.h"

#include "app/ScriptedBrowser.h"
#include "tabs/CTabItem.h"
#include "tabstrip/TabWindowCalls_win.h"

#include "support/TestWindows_win.h"
#include "tabs/TabFakes.h"

#include <gtest/gtest.h>

using namespace tessaly;
using namespace tessaly::win;

namespace {

struct Page {
    ScriptedBrowser* browser = nullptr;
    WebUrl page{[this](HWND) {
        auto made = std::make_unique<ScriptedBrowser>();
        browser = made.get();
        return made;
    }};
};

} // namespace

TEST(WebUrl, LoadsBlankFirstAndHidesTheBrowsersBorder) {
    Page p;
    p.page.OpenURL(L"http://127.0.0.1/game/1.html");
    ASSERT_TRUE(p.browser);
    EXPECT_EQ(p.browser->navigations(),
              (std::vector<std::wstring>{L"about:blank", L"http://127.0.0.1/game/1.html"}));
    RECT client{};
    GetClientRect(ToHwnd(p.page.hWnd()), &client);
    const auto& at = p.browser->placement();
    EXPECT_EQ(at.left, -2);
    EXPECT_EQ(at.top, -2);
    EXPECT_EQ(at.width, client.right + 4);
    EXPECT_EQ(at.height, client.bottom + 4);
    // A refresh before any address reloads whatever is there: the blank page.
    p.page.RefreshPage();
    EXPECT_EQ(p.browser->refreshCount(), 1);
    p.page.Unload();
    EXPECT_FALSE(p.page.IsLoaded());
}

TEST(WebUrl, EveryCompletionIsSilentWithoutScrollBarsAndTheTitleIsTheCaption) {
    Page p;
    CTabItem item;
    p.page.OpenURL(L"http://127.0.0.1/game/1.html");
    p.browser->PlayTitleChange(L"before the tab exists");
    EXPECT_EQ(item.Caption(), L"");
    test::FakeTabModel model;
    p.page.Initialize(&model.strip, &item);
    EXPECT_EQ(p.page.strip(), &model.strip);
    p.browser->PlayDownloadBegin();
    EXPECT_TRUE(p.browser->silent());
    p.browser->SetSilent(false);
    p.browser->PlayDocumentComplete(L"http://127.0.0.1/frame.html", L"http://127.0.0.1/game/1.html",
                                    10);
    EXPECT_TRUE(p.browser->silent());
    EXPECT_TRUE(p.browser->overflowHidden());
    p.browser->PlayTitleChange(L"翡翠山谷");
    EXPECT_EQ(item.Caption(), L"翡翠山谷");
    // In-page navigation changes the title again.
    p.browser->PlayTitleChange(L"翡翠山谷 - 地图");
    EXPECT_EQ(item.Caption(), L"翡翠山谷 - 地图");

    // A game page keeps its context menu, asks its host for its windows, and
    // takes the focus given to its window.
    EXPECT_FALSE(p.browser->contextMenuSuppressed());
    std::vector<std::wstring> windows;
    p.page.NewWindow.Connect([&](const std::wstring& url) { windows.push_back(url); });
    p.browser->PlayNewWindow(L"http://127.0.0.1/game/2.html");
    EXPECT_EQ(windows, std::vector<std::wstring>{L"http://127.0.0.1/game/2.html"});
    SendMessageW(ToHwnd(p.page.hWnd()), WM_SETFOCUS, 0, 0);
    EXPECT_EQ(p.browser->focusCount(), 1);
    p.page.Unload();
}
