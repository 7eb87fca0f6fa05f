#include "app/DdeCommand.h"
#include "app/GameTabs.h"
#include "app/MainLayout.h"

#include "tabs/TabFakes.h"

#include <gtest/gtest.h>

#include <deque>

using namespace tessaly;
using namespace tessaly::test;

TEST(MainLayout, DesignedSizePlacesEveryControl) {
    const MainLayout at = LayoutMainWindow(15540, 15540, 9585, 480);
    EXPECT_EQ(at.captionWidth, 15540);
    EXPECT_EQ(15540 - at.closeLeft, 730);
    EXPECT_EQ(at.minMaxLeft, 14435);
    EXPECT_EQ(at.minLeft, 14075);
    EXPECT_EQ(at.toolLeft, 13715);
    EXPECT_EQ(at.strip, (TwipsRect{2300, 45, 8640, 480}));
    EXPECT_EQ(at.gameSpaceLeft, 12240);
    EXPECT_EQ(at.otherUserLeft, 10690);
    // The body starts at the strip's height, overlapping the strip's top offset.
    EXPECT_EQ(at.body, (TwipsRect{60, 480, 15420, 9045}));
    EXPECT_EQ(at.regionRight, 1037);
    EXPECT_EQ(at.regionBottom, 640);
    EXPECT_EQ(PlaceholderBrowserBox(15420, 9045), (TwipsRect{-30, -30, 15480, 9105}));
}

TEST(MainLayout, WindowSmallerThanTheButtonBlockClampsSizesAndKeepsPositions) {
    const MainLayout at = LayoutMainWindow(600, 600, 300, 480);
    EXPECT_EQ(at.closeLeft, -130);
    EXPECT_EQ(at.toolLeft, -1225);
    EXPECT_EQ(at.strip.width, 0);
    EXPECT_EQ(at.body, (TwipsRect{60, 480, 480, 0}));
    EXPECT_EQ(at.regionRight, 41);
    EXPECT_EQ(at.regionBottom, 21);
    const MainLayout none = LayoutMainWindow(0, -15, -15, 480);
    EXPECT_EQ(none.captionWidth, 0);
    EXPECT_EQ(none.body.width, 0);
    EXPECT_EQ(none.regionRight, 1);
    EXPECT_EQ(PlaceholderBrowserBox(-100, -100).width, 0);
}

namespace {

class GameTabModel : public ::testing::Test, protected FakeTabModel {
protected:
    int pagesMade = 0;

    OpenedTab Open(const std::wstring& address) {
        return OpenGameTab(items, address, [&] {
            records.emplace_back();
            ++pagesMade;
            return std::make_unique<FakePage>("p", 100 + records.size(), records.back(), trace);
        });
    }
};

} // namespace

TEST_F(GameTabModel, OneTabPerAddressWhateverTheLetterCase) {
    const OpenedTab first = Open(L"http://127.0.0.1/game/1.html");
    EXPECT_TRUE(first.created);
    EXPECT_EQ(first.position, 0);
    EXPECT_EQ(items.ItemAt(0)->Caption(), L"Gamehttp://127.0.0.1/game/1.html");

    const OpenedTab second = Open(L"http://127.0.0.1/game/2.html");
    EXPECT_TRUE(second.created);
    EXPECT_EQ(strip.selected, 1);

    // The same address again, and once more in other letters: the first tab
    // is selected, and no page is made or reloaded.
    for (const wchar_t* again :
         {L"http://127.0.0.1/game/1.html", L"HTTP://127.0.0.1/GAME/1.HTML"}) {
        trace.clear();
        const OpenedTab found = Open(again);
        EXPECT_FALSE(found.created);
        EXPECT_EQ(found.position, 0);
        EXPECT_EQ(strip.selected, 0);
        EXPECT_EQ(trace, (Trace{"strip.Selected 0"}));
    }
    EXPECT_EQ(items.Count(), 2);
    EXPECT_EQ(pagesMade, 2);
}

TEST(DdeCommand, OnlyAbsoluteWebAddressesOpenATab) {
    EXPECT_EQ(GameAddressFromDde(L"  http://127.0.0.1:8080/game/2.html\r\n"),
              L"http://127.0.0.1:8080/game/2.html");
    EXPECT_EQ(GameAddressFromDde(L"https://game.example/x?a=1"), L"https://game.example/x?a=1");
    for (const wchar_t* refused :
         {L"", L"   ", L"javascript:alert(1)", L"file:///C:/Windows/win.ini", L"about:blank",
          L"game/1.html", L"//game.example/1.html", L"http://", L"http://a\tb/",
          L"http://a/b\nhttp://c/", L"ftp://game.example/"}) {
        EXPECT_FALSE(GameAddressFromDde(refused)) << refused;
    }
    const std::wstring longest = L"http://g.example/" + std::wstring(2048 - 17, L'a');
    EXPECT_TRUE(GameAddressFromDde(longest));
    EXPECT_FALSE(GameAddressFromDde(longest + L"a"));
}

TEST(DdeCommand, ExecuteDataInEitherEncoding) {
    const auto latin1 = [](std::string_view bytes) {
        return std::wstring(bytes.begin(), bytes.end());
    };
    const std::wstring address = L"http://127.0.0.1/game/1.html";
    std::string wide;
    for (wchar_t c : address + L'\0') {
        wide.push_back(static_cast<char>(c & 0xff));
        wide.push_back(static_cast<char>(c >> 8));
    }
    EXPECT_EQ(DecodeDdeCommand(wide, latin1), address);
    EXPECT_EQ(DecodeDdeCommand("http://127.0.0.1/game/1.html", latin1), address);
    EXPECT_EQ(DecodeDdeCommand(std::string("http://127.0.0.1/game/1.html\0", 29), latin1), address);
    // Neither reading is an address: the command is refused whatever it says.
    EXPECT_FALSE(GameAddressFromDde(DecodeDdeCommand("javascript:x", latin1)));
    EXPECT_FALSE(GameAddressFromDde(DecodeDdeCommand("odd", latin1)));
    EXPECT_FALSE(GameAddressFromDde(DecodeDdeCommand("", latin1)));
}
