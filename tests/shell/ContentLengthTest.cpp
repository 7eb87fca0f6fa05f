#include "shell/ContentLength.h"

#include <gtest/gtest.h>

using namespace tessaly;

TEST(ContentLength, DecimalDigitsUpTo64Bits) {
    EXPECT_EQ(ParseContentLength(L"0"), 0u);
    EXPECT_EQ(ParseContentLength(L" 8192\t"), 8192u);
    EXPECT_EQ(ParseContentLength(L"5368709120"), 5368709120u);
    EXPECT_EQ(ParseContentLength(L"18446744073709551615"), 18446744073709551615u);
    for (const wchar_t* bad : {L"", L"  ", L"-1", L"+5", L"12 34", L"0x10", L"1e3",
                               L"18446744073709551616", L"99999999999999999999"})
        EXPECT_EQ(ParseContentLength(bad), std::nullopt) << bad;
}
