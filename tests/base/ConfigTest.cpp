#include "base/Config.h"

#include "base/ErrorLog.h"
#include "base/Text.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace tessaly;

namespace {

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = SetErrorSink([this](std::wstring_view t) { logged_.emplace_back(t); });
    }
    void TearDown() override { SetErrorSink(previous_); }

    Config Load() {
        return LoadConfig([this](std::wstring_view section,
                                 std::wstring_view key) -> std::optional<std::wstring> {
            auto it = ini_.find(std::wstring(section) + L"/" + std::wstring(key));
            if (it == ini_.end()) return std::nullopt;
            return it->second;
        });
    }

    std::map<std::wstring, std::wstring> ini_;
    std::vector<std::wstring> logged_;
    ErrorSink previous_;
};

} // namespace

TEST_F(ConfigTest, MissingFileKeepsHttpsDefaults) {
    const Config config = Load();
    EXPECT_TRUE(config.loginPage.starts_with(L"https://"));
    EXPECT_TRUE(config.loginPage.ends_with(L"/client/"));
    EXPECT_TRUE(config.manifest.ends_with(L"/gamehome/quorl/update.txt"));
    EXPECT_TRUE(logged_.empty());
}

TEST_F(ConfigTest, OverridesApplyAndBadValuesKeepDefaultsWithALogEntry) {
    ini_[L"Addresses/LoginPage"] = L"  http://127.0.0.1:8080/client/ ";
    ini_[L"Addresses/GameHome"] = L"";                  // empty: default, silently
    ini_[L"Addresses/MakerHome"] = L"ftp://127.0.0.1/"; // not http(s)
    ini_[L"Addresses/Manifest"] = L"HTTP://127.0.0.1:8080/gamehome/quorl/update.txt";
    ini_[L"Network/TimeoutSeconds"] = L"0";
    const Config defaults;
    const Config config = Load();
    EXPECT_EQ(config.loginPage, L"http://127.0.0.1:8080/client/");
    EXPECT_EQ(config.gameHome, defaults.gameHome);
    EXPECT_EQ(config.makerHome, defaults.makerHome);
    EXPECT_EQ(config.manifest, L"HTTP://127.0.0.1:8080/gamehome/quorl/update.txt");
    EXPECT_EQ(config.timeoutSeconds, defaults.timeoutSeconds);
    EXPECT_EQ(logged_.size(), 2u);

    ini_[L"Network/TimeoutSeconds"] = L" 3 ";
    EXPECT_EQ(Load().timeoutSeconds, 3);
    ini_[L"Network/TimeoutSeconds"] = L"3s";
    EXPECT_EQ(Load().timeoutSeconds, defaults.timeoutSeconds);
    ini_[L"Network/TotalSeconds"] = L"3600";
    EXPECT_EQ(Load().totalSeconds, 3600);
    ini_[L"Network/TotalSeconds"] = L"3601";
    EXPECT_EQ(Load().totalSeconds, defaults.totalSeconds);
    EXPECT_EQ(defaults.totalSeconds, 120);
}

TEST(ConfigAddress, AcceptsOnlyAbsoluteHttpWithAHost) {
    EXPECT_TRUE(IsAbsoluteHttpUrl(L"https://a.example/x?y"));
    EXPECT_TRUE(IsAbsoluteHttpUrl(L"http://127.0.0.1:1"));
    EXPECT_FALSE(IsAbsoluteHttpUrl(L"http:///path"));
    EXPECT_FALSE(IsAbsoluteHttpUrl(L"https://"));
    EXPECT_FALSE(IsAbsoluteHttpUrl(L"app://loadgame"));
    EXPECT_FALSE(IsAbsoluteHttpUrl(L"game.example/"));
    EXPECT_FALSE(IsAbsoluteHttpUrl(L"http://bad host/"));
}

TEST_F(ConfigTest, AddressesWithControlCharactersAreRefusedEverywhereInThem) {
    using namespace std::string_view_literals;
    // A browser drops tabs and line breaks, so these would open another address.
    for (const std::wstring_view bad :
         {L"http://a.example/\tx"sv, L"http://a.exa\nmple/"sv, L"https://a.example/x\r"sv,
          L"http://a.example/\0x"sv, L"http://a.example/\x7f"sv, L"http://a\x85.example/"sv,
          L"\thttp://a.example/"sv}) {
        EXPECT_FALSE(IsAbsoluteHttpUrl(bad)) << WideToUtf8(bad);
    }
    EXPECT_TRUE(IsAbsoluteHttpUrl(L"http://a.example/登录?q=%09"));

    ini_[L"Addresses/LoginPage"] = L"http://127.0.0.1:8080/cli\tent/";
    EXPECT_EQ(Load().loginPage, Config{}.loginPage);
    EXPECT_EQ(logged_.size(), 1u);
}
