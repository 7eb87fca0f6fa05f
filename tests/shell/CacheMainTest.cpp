#include "shell/CacheMain.h"
#include "shell/ModGetTaskbarHei.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace tessaly;
using Status = UrlCache::Status;

namespace {

class FakeCache : public UrlCache {
public:
    std::vector<std::int64_t> groups;
    std::vector<CacheEntry> entries;
    Status groupFunctions = Status::Ok; // Unsupported: the system has none
    Status groupsEnd = Status::NoMore;  // what the group search says after the last
    Status groupDeletion = Status::Ok;
    std::set<std::int64_t> undeletableGroups;
    std::set<std::wstring> undeletableEntries;
    std::vector<std::wstring> deleted;
    std::wstring pattern;

    Status FindFirstGroup(std::int64_t& group) override {
        if (groupFunctions != Status::Ok) return groupFunctions;
        groupAt_ = 0;
        return NextGroup(group);
    }
    Status FindNextGroup(std::int64_t& group) override { return NextGroup(group); }
    Status DeleteGroup(std::int64_t group) override {
        if (undeletableGroups.count(group)) return Status::Failed;
        if (groupDeletion != Status::Ok) return groupDeletion;
        deleted.push_back(L"group " + std::to_wstring(group));
        return Status::Ok;
    }
    Status FindFirstEntry(const std::wstring& p, CacheEntry& entry) override {
        pattern = p;
        entryAt_ = 0;
        return FindNextEntry(entry);
    }
    Status FindNextEntry(CacheEntry& entry) override {
        if (entryAt_ >= entries.size()) return Status::NoMore;
        entry = entries[entryAt_++];
        return Status::Ok;
    }
    bool DeleteEntry(const std::wstring& url) override {
        if (undeletableEntries.count(url)) return false;
        deleted.push_back(url);
        return true;
    }

private:
    Status NextGroup(std::int64_t& group) {
        if (groupAt_ >= groups.size()) return groupsEnd;
        group = groups[groupAt_++];
        return Status::Ok;
    }
    std::size_t groupAt_ = 0, entryAt_ = 0;
};

const std::uint32_t kKeep = kCookieCacheEntry | kHistoryCacheEntry;

FakeCache Filled() {
    FakeCache cache;
    cache.entries = {{0x1, L"http://a/page"},
                     {kCookieCacheEntry, L"Cookie:demo@a/"},
                     {kHistoryCacheEntry | 0x1, L"Visited:demo@http://a/"},
                     {0x4, L"http://a/sticky.css"}};
    return cache;
}

} // namespace

TEST(CacheMain, AnEmptyCacheDeletesNothing) {
    FakeCache cache;
    ClearUrlCache(cache, L"*.*", kKeep);
    EXPECT_TRUE(cache.deleted.empty());
    EXPECT_EQ(cache.pattern, L"*.*");
}

TEST(CacheMain, TheKeepMaskSparesCookiesAndHistory) {
    FakeCache cache = Filled();
    cache.groups = {7, 9};
    ClearUrlCache(cache, L"*.*", kKeep);
    EXPECT_EQ(cache.deleted, (std::vector<std::wstring>{L"group 7", L"group 9", L"http://a/page",
                                                        L"http://a/sticky.css"}));

    FakeCache all = Filled();
    ClearUrlCache(all, L"*.*", 0);
    EXPECT_EQ(all.deleted.size(), 4u);
}

TEST(CacheMain, AGroupThatCannotGoStopsEverythingAnEntryDoesNot) {
    FakeCache stuck = Filled();
    stuck.groups = {7, 9};
    stuck.undeletableGroups = {9};
    ClearUrlCache(stuck, L"*.*", kKeep);
    EXPECT_EQ(stuck.deleted, (std::vector<std::wstring>{L"group 7"}));

    FakeCache noGroups = Filled(); // a system without cache groups still clears its entries
    noGroups.groupFunctions = Status::Unsupported;
    noGroups.undeletableEntries = {L"http://a/page"};
    ClearUrlCache(noGroups, L"*.*", kKeep);
    EXPECT_EQ(noGroups.deleted, (std::vector<std::wstring>{L"http://a/sticky.css"}));

    FakeCache broken = Filled();
    broken.groupFunctions = Status::Failed;
    ClearUrlCache(broken, L"*.*", kKeep);
    EXPECT_TRUE(broken.deleted.empty());
}

TEST(CacheMain, TheEndsOfTheSearchesAreToldFromAbsentFunctionsAndFailures) {
    const std::pair<std::uint32_t, Status> codes[] = {
        {0, Status::Unsupported}, {1, Status::Unsupported}, {120, Status::Unsupported},
        {2, Status::NoMore},      {18, Status::NoMore},     {259, Status::NoMore},
        {5, Status::Failed},      {122, Status::Failed},    {8, Status::Failed},
    };
    for (const auto& [code, status] : codes)
        EXPECT_EQ(CacheStatusOf(code), status) << code;

    // Group functions that fail saying nothing end the groups, not the clearing.
    FakeCache stubs = Filled();
    stubs.groups = {7};
    stubs.groupsEnd = Status::Unsupported;
    stubs.groupDeletion = Status::Unsupported;
    ClearUrlCache(stubs, L"*.*", kKeep);
    EXPECT_EQ(stubs.deleted, (std::vector<std::wstring>{L"http://a/page", L"http://a/sticky.css"}));
}

TEST(TaskbarHeight, OnlyTheBandBelowTheWorkAreaCounts) {
    EXPECT_EQ(TaskbarHeightTwips(1080 * 15, 15, 1040), 600); // 40 pixels at the bottom
    EXPECT_EQ(TaskbarHeightTwips(1080 * 15, 15, 1080), 0);   // docked at the top, left or right
    EXPECT_EQ(TaskbarHeightTwips(800 * 15, 15, 0), 12000);   // no work area: the whole screen
    EXPECT_EQ(TaskbarHeightTwips(1080 * 12, 12, 1050), 360); // 120 dpi
}
