#include "e2e/ClientProcess_win.h"

#include <gtest/gtest.h>

using namespace tessaly::e2e;

TEST(Startup, OfflineShowsTheConnectionMessageAndEndsWithoutAWindow) {
    const ClientRun run = RunClient(L"", L"offline");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.log, (std::vector<std::wstring>{
                           L"message\t提示\t未能连接到服务器，请检查网络连接是否正常！"}));
    EXPECT_TRUE(run.visibleWindowClasses.empty());
}

TEST(Startup, WebSwitchOpensTheMakersPageAndEndsWithoutAWindow) {
    const ClientRun run = RunClient(L"/web", L"online");
    ASSERT_TRUE(run.ended);
    ASSERT_EQ(run.log.size(), 1u);
    EXPECT_TRUE(run.log[0].starts_with(L"open\thttp")) << run.log[0];
    EXPECT_TRUE(run.visibleWindowClasses.empty());
}

TEST(Startup, OnlineShowsTheSplashCentredAndCarriesOn) {
    const ClientRun run = RunClient(L"/WEB", L"online");
    ASSERT_TRUE(run.ended); // the splash closes itself until a login window takes over
    EXPECT_TRUE(run.log.empty());
    ASSERT_EQ(run.visibleWindowClasses, (std::vector<std::wstring>{L"TessalyLoadFrm"}));
    const RECT r = run.visibleWindowRects[0];
    EXPECT_EQ(r.right - r.left, 356);
    EXPECT_EQ(r.bottom - r.top, 122);
    EXPECT_NEAR(r.left, (GetSystemMetrics(SM_CXSCREEN) - 356) / 2, 1);
    EXPECT_NEAR(r.top, (GetSystemMetrics(SM_CYSCREEN) - 122) / 2, 1);
}
