#include "update/VersionOrder.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace tessaly;

TEST(VersionOrder, DottedNumbersCompareNumberByNumber) {
    using enum VersionOrder;
    const std::tuple<const wchar_t*, const wchar_t*, VersionOrder> cases[] = {
        {L"1.10.0", L"1.9.2", Higher},    {L"1.1.1", L"1.1.0", Higher}, {L"2", L"1.99.99", Higher},
        {L"65535.0.0", L"1.1.0", Higher}, {L"1.1.0", L"1.1.0", Same},   {L"1.1", L"1.1.0", Same},
        {L"01.001.0", L"1.1", Same},      {L"1.0.9", L"1.1.0", Lower},  {L"0", L"0.0.1", Lower},
        {L"1.1.0", L"x", Unreadable}};
    for (const auto& [offered, own, order] : cases)
        EXPECT_EQ(CompareVersions(offered, own), order) << offered << L" / " << own;
    // One number more than the client has, one above a version resource's,
    // blanks, signs, letters, a digit that is not ASCII.
    for (const wchar_t* text :
         {L"", L"1..0", L".1", L"1.", L"1.1.0.1", L"1.65536", L"99999999999999999999", L"1.1.0 ",
          L"+1.1", L"-1", L"1.1a", L"v1.1", L"\uff11.1"}) {
        EXPECT_EQ(CompareVersions(text, L"1.1.0"), Unreadable) << text;
        EXPECT_FALSE(IsVersionText(text)) << text;
    }
    EXPECT_TRUE(IsVersionText(L"1.10.0"));
}
