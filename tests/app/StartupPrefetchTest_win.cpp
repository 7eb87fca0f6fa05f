#include <windows.h>

#include "app/StartupPrefetch_win.h"
#include "shell/TestServer_win.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;

TEST(StartupPrefetch, FetchesOnlyOnlineAndOnlyAfterWhatCameBeforeAndHandsEachOverOnce) {
    const std::wstring server = test::TestServer();
    const std::wstring came = server + L"text?body=manifest", failed = server + L"status/404",
                       after = server + L"text?body=after";
    // nullopt: not fetched, the caller downloads it itself.
    using Taken = std::optional<std::optional<std::string>>;
    const struct {
        bool online;
        std::vector<std::pair<std::wstring, Taken>> takes;
    } cases[] = {
        {true,
         {{came, std::optional<std::string>("manifest")},
          {came, std::nullopt}, // once
          {failed, std::optional<std::string>()},
          {after, std::nullopt}, // it came after a failure
          {server + L"never-asked", std::nullopt}}},
        {false, {{came, std::nullopt}}},
    };
    for (const auto& c : cases) {
        StartupPrefetch prefetch(
            {.networkTest = [&c] { return c.online; }, .addresses = {came, failed, after}});
        EXPECT_EQ(prefetch.Online(), c.online);
        for (const auto& [address, expected] : c.takes) {
            std::optional<std::string> body;
            const bool fetched = prefetch.TakeDownload(address, body);
            EXPECT_EQ(fetched, expected.has_value()) << address << c.online;
            if (fetched) {
                EXPECT_EQ(body, *expected) << address;
            }
        }
    }
}

TEST(StartupPrefetch, TheThreadTakesItsMessagesWhileASlowDownloadIsAwaited) {
    static int ticks = 0;
    const std::wstring late = test::TestServer() + L"late/4?seconds=1";
    StartupPrefetch prefetch({.networkTest = [] { return true; }, .addresses = {late}});
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
    std::optional<std::string> body;
    EXPECT_TRUE(prefetch.TakeDownload(late, body));
    KillTimer(nullptr, timer);
    EXPECT_EQ(body, std::string("\x00\x01\x02\x03", 4));
    EXPECT_GT(ticks, 5);
}
