// Native timings of the strip's per-message and per-layout work: matching a
// message against a subclass table (count -1 and a full table of 32, where a
// miss compares every slot), and width, layout and hit-testing of 100 tabs.
// Prints nanoseconds per operation, best of several rounds.

#include "tabs/TabFakes.h"
#include "tabstrip/TabGeometry.h"
#include "winplumb/MessageTable.h"

#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>

using namespace tessaly;
using namespace tessaly::test;

namespace {

volatile std::uint64_t g_sink = 0;

double NanosecondsPerOperation(long long operations, const std::function<void()>& round) {
    double best = 1e300;
    for (int r = 0; r < 7; ++r) {
        const auto start = std::chrono::steady_clock::now();
        round();
        const std::chrono::duration<double, std::nano> spent =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, spent.count() / static_cast<double>(operations));
    }
    return best;
}

} // namespace

int main() {
    constexpr long long kMessages = 20'000'000;
    MessageTable all;
    all.Add(ALL_MESSAGES);
    MessageTable full;
    for (std::uint32_t m = 0; m < 32; ++m)
        full.Add(0x400 + m);
    const auto matchAll = NanosecondsPerOperation(kMessages, [&] {
        std::uint64_t hits = 0;
        for (long long i = 0; i < kMessages; ++i)
            hits += all.Matches(static_cast<std::uint32_t>(i & 0x3FF));
        g_sink = g_sink + hits;
    });
    // Messages below 0x400: every one misses after 32 comparisons.
    const auto matchFullMiss = NanosecondsPerOperation(kMessages, [&] {
        std::uint64_t hits = 0;
        for (long long i = 0; i < kMessages; ++i)
            hits += full.Matches(static_cast<std::uint32_t>(i & 0x3FF));
        g_sink = g_sink + hits;
    });
    std::printf("table match, count -1:          %8.2f ns/message\n", matchAll);
    std::printf("table match, count 32 (miss):   %8.2f ns/message\n", matchFullMiss);

    Trace trace;
    std::deque<PageRecord> records;
    FakeWindows windows(trace);
    FakeStrip strip(trace, windows);
    for (int i = 0; i < 100; ++i) {
        records.emplace_back();
        strip.TabItems().Add(L"tab", std::make_unique<FakePage>("p", i + 1, records.back(), trace));
    }
    trace.clear();
    CTabItems& items = strip.TabItems();
    for (int style : {0, 1}) {
        constexpr long long kLayouts = 200'000;
        const auto layout = NanosecondsPerOperation(kLayouts, [&] {
            for (long long i = 0; i < kLayouts; ++i) {
                LayoutTabs(style, ComputeTabWidth(style, 10'000 + static_cast<int>(i & 1), items),
                           items);
            }
            g_sink = g_sink + static_cast<std::uint64_t>(items.ItemAt(99)->Left());
        });
        // Points spread across the whole strip: the average hit-test walks half the tabs.
        const TabStripFrame frame{style, 10'040, 40, 0};
        LayoutTabs(style, ComputeTabWidth(style, 10'000, items), items);
        constexpr long long kHits = 2'000'000;
        const auto hit = NanosecondsPerOperation(kHits, [&] {
            std::uint64_t sum = 0;
            for (long long i = 0; i < kHits; ++i) {
                const TabHit h = HitTestTabs(frame, items, static_cast<int>(i % 10'041),
                                             static_cast<int>(i % 26));
                sum += static_cast<std::uint64_t>(h.index + 3) + h.close;
            }
            g_sink = g_sink + sum;
        });
        std::printf("style %d, 100 tabs: width + layout %8.1f ns, hit-test %8.1f ns\n", style,
                    layout, hit);
    }
    return 0;
}
