#include "winplumb/MessageTable.h"

#include <gtest/gtest.h>

using namespace tessaly;
using Result = MessageTable::AddResult;

TEST(MessageTable, EmptyMatchesNothingAndAllMessagesMatchesEverything) {
    MessageTable table;
    EXPECT_FALSE(table.Matches(0));
    EXPECT_FALSE(table.Matches(15));
    table.Add(ALL_MESSAGES);
    EXPECT_EQ(table.count(), -1);
    EXPECT_TRUE(table.Matches(0));
    EXPECT_TRUE(table.Matches(0xC000));
}

TEST(MessageTable, ThirtyTwoFitTheThirtyThirdOverflowsAndDuplicatesStay) {
    MessageTable table;
    for (std::uint32_t m = 1; m <= 32; ++m)
        EXPECT_EQ(table.Add(0x400 + m), Result::Added);
    EXPECT_EQ(table.count(), 32);
    EXPECT_EQ(table.Add(0x400 + 33), Result::Overflow);
    EXPECT_EQ(table.count(), 32);
    EXPECT_FALSE(table.Matches(0x400 + 33));
    EXPECT_TRUE(table.Matches(0x400 + 32));
    // Already present, with no hole before it: no change even when full.
    EXPECT_EQ(table.Add(0x400 + 32), Result::AlreadyThere);
    EXPECT_EQ(table.Add(0x400 + 1), Result::AlreadyThere);
}

TEST(MessageTable, DeletingLeavesAHoleThatTheNextMessageFills) {
    MessageTable table;
    table.Add(5);
    table.Add(15);
    table.Add(20);
    table.Delete(15);
    EXPECT_EQ(table.count(), 3);
    EXPECT_EQ(table.slot(2), 0u);
    EXPECT_FALSE(table.Matches(15));
    EXPECT_TRUE(table.Matches(0)); // a hole is compared like any slot
    table.Delete(99);              // not present: nothing changes
    EXPECT_EQ(table.count(), 3);
    EXPECT_EQ(table.Add(42), Result::Added);
    EXPECT_EQ(table.slot(2), 42u);
    EXPECT_EQ(table.count(), 3);
    // A hole before a message that is present takes a second copy of it.
    table.Delete(5);
    EXPECT_EQ(table.Add(20), Result::Added);
    EXPECT_EQ(table.slot(1), 20u);
    table.Delete(20); // the first copy only
    EXPECT_TRUE(table.Matches(20));
    // A full table with a hole takes one more.
    MessageTable full;
    for (std::uint32_t m = 1; m <= 32; ++m)
        full.Add(m);
    full.Delete(7);
    EXPECT_EQ(full.Add(100), Result::Added);
    EXPECT_EQ(full.Add(101), Result::Overflow);
}

TEST(MessageTable, ASpecificMessageNarrowsAllMessagesAndDeletingAllEmpties) {
    MessageTable table;
    table.Add(3);
    table.Add(4);
    table.Add(ALL_MESSAGES);
    EXPECT_EQ(table.count(), -1);
    table.Delete(3); // -1 has no slots in use to search
    EXPECT_TRUE(table.Matches(3));
    EXPECT_EQ(table.Add(20), Result::Added);
    EXPECT_EQ(table.count(), 1);
    EXPECT_TRUE(table.Matches(20));
    EXPECT_FALSE(table.Matches(4));
    table.Delete(ALL_MESSAGES);
    EXPECT_EQ(table.count(), 0);
    EXPECT_FALSE(table.Matches(20));
    table.Add(ALL_MESSAGES);
    table.Delete(ALL_MESSAGES);
    EXPECT_FALSE(table.Matches(1));
}
