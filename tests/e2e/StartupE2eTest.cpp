#include "e2e/ClientProcess_win.h"

#include <gtest/gtest.h>

using namespace tessaly::e2e;

namespace {

// Each run has a folder and a temporary folder of its own, and a manifest of
// the same version as the client, so no update question comes in between.
struct IsolatedRun {
    Installation client{"version=1.1.0\r\n"};
    ClientOptions options;
    IsolatedRun(const std::wstring& arguments, const std::wstring& network)
        : options(client.Options(L"no")) {
        options.arguments = arguments;
        options.network = network;
        options.browserScript.clear();
    }
};

} // namespace

TEST(Startup, OfflineShowsTheConnectionMessageAndEndsWithoutAWindow) {
    const ClientRun run = RunClient(IsolatedRun(L"", L"offline").options);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.log, (std::vector<std::wstring>{
                           L"message\t提示\t未能连接到服务器，请检查网络连接是否正常！"}));
    EXPECT_TRUE(run.visibleWindowClasses.empty());
}

TEST(Startup, WebSwitchOpensTheMakersPageAndEndsWithoutAWindow) {
    const ClientRun run = RunClient(IsolatedRun(L"/web", L"online").options);
    ASSERT_TRUE(run.ended);
    ASSERT_EQ(run.log.size(), 1u);
    EXPECT_TRUE(run.log[0].starts_with(L"open\thttp")) << run.log[0];
    EXPECT_TRUE(run.visibleWindowClasses.empty());
}

TEST(Startup, OnlineShowsTheSplashCentredThenTheLoginPair) {
    IsolatedRun setup(L"/WEB", L"online");
    ClientOptions& options = setup.options;
    // The login page completes after a while, then leaves through its exit command.
    options.browserScript =
        L"on /client/\n wait 600\n complete 2000\n wait 600\n navigate app://exitgame\n";
    const ClientRun run = RunClient(options);
    ASSERT_TRUE(run.ended);
    EXPECT_TRUE(run.log.empty());
    // The splash first; the pair shows together, in either order of discovery.
    ASSERT_EQ(run.visibleWindowClasses.size(), 3u);
    EXPECT_EQ(run.visibleWindowClasses[0], L"TessalyLoadFrm");
    const auto rectOf = [&](const wchar_t* name) {
        for (std::size_t i = 0; i < run.visibleWindowClasses.size(); ++i) {
            if (run.visibleWindowClasses[i] == name) return run.visibleWindowRects[i];
        }
        ADD_FAILURE() << "never shown";
        return RECT{};
    };
    const RECT r = run.visibleWindowRects[0];
    EXPECT_EQ(r.right - r.left, 356);
    EXPECT_EQ(r.bottom - r.top, 122);
    EXPECT_NEAR(r.left, (GetSystemMetrics(SM_CXSCREEN) - 356) / 2, 1);
    EXPECT_NEAR(r.top, (GetSystemMetrics(SM_CYSCREEN) - 122) / 2, 1);
    // The pair: the background at the image's size, the content exactly over it.
    const RECT background = rectOf(L"TessalyLoginBgFrm"), content = rectOf(L"TessalyLoginFrm");
    EXPECT_EQ(background.right - background.left, 1237);
    EXPECT_EQ(background.bottom - background.top, 696);
    EXPECT_EQ(content.left, background.left);
    EXPECT_EQ(content.top, background.top);
}

TEST(Startup, APageThatLeavesBeforeItCompletesEndsTheClientWithNoSplashLeft) {
    IsolatedRun setup(L"", L"online");
    setup.options.browserScript = L"on /client/\n wait 600\n navigate app://exitgame\n";
    setup.options.timeoutMs = 8000;
    const ClientRun run = RunClient(setup.options);
    ASSERT_TRUE(run.ended) << "the splash stayed";
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.visibleWindowClasses, (std::vector<std::wstring>{L"TessalyLoadFrm"}));
}
