#include "tabs/CTabItems.h"

#include "TabFakes.h"
#include "base/Error.h"
#include "tabs/TabErrors.h"

#include "support/ErrorNumber.h"

#include <gtest/gtest.h>

#include <deque>

using namespace tessaly;
using namespace tessaly::test;

namespace {

class TabModel : public ::testing::Test, protected FakeTabModel {
protected:
    // A page named p<n> with window handle 100 + n.
    std::unique_ptr<FakePage> Page() {
        const auto n = records.size();
        records.emplace_back();
        return std::make_unique<FakePage>("p" + std::to_string(n), 100 + n, records.back(), trace);
    }
    void AddTabs(int count) {
        for (int i = 0; i < count; ++i) {
            const std::wstring n = std::to_wstring(records.size());
            items.Add(L"tab" + n, Page(), L"K" + n);
        }
        trace.clear();
    }
    std::vector<std::wstring> Captions() const {
        std::vector<std::wstring> out;
        for (std::int32_t i = 0; i < items.Count(); ++i)
            out.push_back(items.ItemAt(i)->Caption());
        return out;
    }
};

} // namespace

TEST_F(TabModel, AddInitialisesThePageTwiceAndTellsTheStripInOrder) {
    windows.styles[100] = 0x16CF0000;
    EXPECT_TRUE(items.Add(L"Game", Page(), L"GameA"));
    EXPECT_EQ(trace,
              (Trace{"GetWindowStyle 100", "p0.Initialize", "strip.Redraw 1", "p0.Initialize",
                     "strip.ChangeForm", "strip.Add page key", "SetActiveWindow 500"}));
    CTabItem* item = items.Item(0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(records[0].initialized, 2);
    EXPECT_EQ(records[0].item, item);
    EXPECT_EQ(records[0].strip, &strip);
    EXPECT_EQ(item->SavedStyle(), 0x16CF0000u);
    EXPECT_EQ(item->Owner(), &strip);
    EXPECT_EQ(item->Caption(), L"Game");
    // Adding does not select; the strip keeps its own selection.
    EXPECT_EQ(strip.selected, -1);
}

TEST_F(TabModel, InsertPositionsAndTheirErrors) {
    items.Add(L"a", Page(), std::nullopt, 0); // 0 = Count on an empty collection: appends
    EXPECT_EQ(items.Count(), 1);
    trace.clear();
    EXPECT_EQ(ErrorNumber([&] { items.Add(L"x", Page(), std::nullopt, 2); }), error::kOutOfRange);
    // The page was initialised and adopted, but no tab was added and the
    // strip never heard of it; the page went with its item.
    EXPECT_EQ(trace, (Trace{"GetWindowStyle 101", "p1.Initialize", "strip.Redraw 1",
                            "p1.Initialize", "strip.ChangeForm", "p1.Unload"}));
    EXPECT_TRUE(records[1].destroyed);
    EXPECT_EQ(ErrorNumber([&] { items.Add(L"x", Page(), std::nullopt, -1); }), error::kOutOfRange);
    EXPECT_EQ(ErrorNumber([&] { items.Add(L"x", Page(), std::nullopt, L"second"); }),
              error::kInvalidArgument);
    EXPECT_EQ(
        ErrorNumber([&] { items.Add(L"x", Page(), std::nullopt, TabLocator(items.Item(0))); }),
        error::kInvalidArgument);
    EXPECT_EQ(items.Count(), 1);

    items.Add(L"b", Page());
    items.Add(L"c", Page());
    items.Add(L"new", Page(), std::nullopt, 1);
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"a", L"new", L"b", L"c"}));
    items.Add(L"half", Page(), std::nullopt, 2.5);    // halves to even: 2
    items.Add(L"text", Page(), std::nullopt, L" 0 "); // a numeric text is a position here
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"text", L"a", L"new", L"half", L"b", L"c"}));
    items.Add(L"end", Page(), std::nullopt, items.Count());
    EXPECT_EQ(items.Item(items.Count() - 1)->Caption(), L"end");
}

TEST_F(TabModel, KeysIgnoreCaseAndMissingKeysDifferBetweenFindAndItem) {
    items.Add(L"one", Page(), L"ABC");
    items.Add(L"two", Page(), L"2");
    EXPECT_EQ(items.FindItem(L"abc"), 0);
    EXPECT_EQ(items.FindItem(L"2"), 1); // text is a key, never a position
    EXPECT_EQ(items.FindItem(L"1"), -1);
    EXPECT_EQ(items.FindItem(L"nothing"), -1);
    EXPECT_EQ(ErrorNumber([&] { items.Item(L"nothing"); }), error::kKeyNotFound);
    EXPECT_EQ(items.Item(L"aBc")->Caption(), L"one");

    trace.clear();
    EXPECT_EQ(ErrorNumber([&] { items.Add(L"three", Page(), L"abc"); }), error::kDuplicateKey);
    EXPECT_EQ(items.Count(), 2);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "strip.Add page key"), 0);
}

TEST_F(TabModel, FindItemByEveryKindOfLocator) {
    EXPECT_EQ(items.FindItem(0), -1); // empty
    AddTabs(5);
    EXPECT_EQ(items.FindItem(5), -1);
    EXPECT_EQ(items.FindItem(4), 4);
    EXPECT_EQ(items.FindItem(-1), -1);
    EXPECT_EQ(items.FindItem(3.5), 4);
    EXPECT_EQ(items.FindItem(TabLocator()), -1);
    const ITabForm* third = items.Item(2)->Form();
    EXPECT_EQ(items.FindItem(third), 2);
    EXPECT_EQ(items.FindItem(items.Item(3)), 3);
    FakePage stranger("s", 999, records.emplace_back(), trace);
    EXPECT_EQ(items.FindItem(&stranger), -1);
    CTabItem loose;
    EXPECT_EQ(items.FindItem(&loose), -1);

    EXPECT_EQ(items.Item(-1), nullptr);
    EXPECT_EQ(items.Item(items.Count()), nullptr);
    EXPECT_EQ(ErrorNumber([&] { items.Item(third); }), error::kTypeMismatch);
}

TEST_F(TabModel, RemoveAsksFirstTellsTheStripThenClosesThePage) {
    AddTabs(3);
    strip.allowRemoval = false;
    EXPECT_FALSE(items.Remove(1, true));
    EXPECT_EQ(trace, Trace{"strip.BeforeRemove 1"});
    EXPECT_EQ(items.Count(), 3);
    EXPECT_EQ(records[1].unloaded, 0);

    strip.allowRemoval = true;
    trace.clear();
    EXPECT_TRUE(items.Remove(L"k1", true));
    EXPECT_EQ(trace, (Trace{"strip.BeforeRemove 1", "strip.Remove 1", "p1.Unload"}));
    EXPECT_TRUE(records[1].destroyed);
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"tab0", L"tab2"}));

    EXPECT_FALSE(items.Remove(7, true));
    EXPECT_FALSE(items.Remove(L"k1", true));
}

TEST_F(TabModel, ARemovedTabWhosePageStaysOpenKeepsItsItem) {
    AddTabs(2);
    CTabItem* kept = items.Item(0);
    EXPECT_TRUE(items.Remove(kept, false));
    EXPECT_EQ(items.Count(), 1);
    EXPECT_EQ(records[0].unloaded, 0);
    EXPECT_FALSE(records[0].destroyed);
    // Still the page's item, and still usable.
    EXPECT_EQ(records[0].item, kept);
    kept->SetCaption(L"renamed");
    EXPECT_EQ(kept->Caption(), L"renamed");
}

TEST(TabModelReentry, AVetoThatRemovesTheTabItselfLeavesNothingToRemove) {
    // A veto handler that removes the same tab first (re-entrantly) and then
    // allows: the outer removal finds the tab gone.
    class Reentrant : public FakeStrip {
    public:
        using FakeStrip::FakeStrip;
        bool BeforeRemove(std::int32_t Index) override {
            if (!inner_) {
                inner_ = true;
                TabItems().Remove(Index, true);
            }
            return true;
        }

    private:
        bool inner_ = false;
    };
    Trace t;
    std::deque<PageRecord> r(2);
    FakeWindows w(t);
    Reentrant other(t, w);
    other.TabItems().Add(L"a", std::make_unique<FakePage>("a", 1, r[0], t));
    other.TabItems().Add(L"b", std::make_unique<FakePage>("b", 2, r[1], t));
    EXPECT_FALSE(other.TabItems().Remove(0, true));
    EXPECT_EQ(other.TabItems().Count(), 1);
    EXPECT_EQ(r[0].unloaded, 1);
}

TEST_F(TabModel, ItemSettersRepaintOnlyThroughAnOwner) {
    AddTabs(1);
    CTabItem* item = items.Item(0);
    item->SetCaption(L"x");
    item->SetHideButton(true);
    item->SetLockSize(true);
    EXPECT_EQ(trace, (Trace{"strip.Redraw 1", "strip.Redraw 1", "strip.Redraw 1"}));

    CTabItem loose;
    loose.SetCaption(L"alone");
    PageRecord record;
    loose.SetForm(std::make_unique<FakePage>("loose", 9, record, trace));
    EXPECT_EQ(record.strip, nullptr);
    EXPECT_EQ(record.item, &loose);
    // Replacing the page closes the one it held.
    loose.SetForm(Page());
    EXPECT_EQ(record.unloaded, 1);
    EXPECT_TRUE(record.destroyed);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "strip.Redraw 1"), 3);
}

TEST_F(TabModel, ClearClosesEveryPageInOrderWithoutTellingTheStrip) {
    AddTabs(3);
    EXPECT_TRUE(items.Clear());
    EXPECT_EQ(trace, (Trace{"p0.Unload", "p1.Unload", "p2.Unload"}));
    EXPECT_EQ(items.Count(), 0);
    for (const PageRecord& r : records)
        EXPECT_EQ(r.unloaded, 1);
}

TEST_F(TabModel, ReleaseFormFreesThePageWindowCentredWithItsSavedStyle) {
    windows.styles[101] = 0x00CF0000;
    AddTabs(2);
    windows.styles[101] = 0x40000000; // the strip made it a child meanwhile
    windows.rects[101] = WindowRect{0, 0, 301, 200};
    EXPECT_TRUE(items.ReleaseForm(1));
    EXPECT_EQ(trace,
              (Trace{"strip.BeforeRemove 1", "strip.Remove 1", "SetParent 101 0", "ScreenWidth",
                     "ScreenHeight", "GetWindowRect 101", "SetWindowStyle 101 13565952",
                     "SetWindowPos 101 490,300", "RedrawWindow 400"}));
    EXPECT_EQ(records[1].unloaded, 0);
    EXPECT_EQ(items.Count(), 1);

    // (1280 - 303) / 2 = 488.5 rounds to 488; a vetoed removal frees the window all the same.
    windows.rects[100] = WindowRect{10, 10, 313, 110};
    strip.allowRemoval = false;
    trace.clear();
    EXPECT_TRUE(items.ReleaseForm(0));
    EXPECT_EQ(trace[trace.size() - 2], "SetWindowPos 100 488,350");
    EXPECT_EQ(items.Count(), 1);

    trace.clear();
    EXPECT_FALSE(items.ReleaseForm(L"none"));
    EXPECT_TRUE(trace.empty());
}
