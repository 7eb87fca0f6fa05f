#include "base/PropertyBag.h"

#include "base/Error.h"

#include "support/ErrorNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tessaly;
using tessaly::test::ErrorNumber;

TEST(PropertyBag, NamesMatchWithoutCaseAndMissingNamesGiveDefaults) {
    PropertyBag bag;
    bag.Write(L"TabStyle", std::int64_t{1});
    bag.Write(L"TABSTYLE", std::int64_t{0}); // same property: replaced in place
    EXPECT_EQ(bag.size(), 1u);
    EXPECT_EQ(bag.ReadInt(L"tabstyle", 7), 0);
    EXPECT_EQ(bag.ReadInt(L"TabLeftSize", 10), 10);
    EXPECT_EQ(bag.ReadText(L"Caption", L"NewForm"), L"NewForm");
    EXPECT_TRUE(bag.ReadBool(L"HasLogo", true));
}

TEST(PropertyBag, ValuesEqualToTheirDefaultAreLeftOut) {
    PropertyBag bag;
    bag.Write(L"Caption", std::wstring(L"NewForm"), std::wstring(L"NewForm"));
    bag.Write(L"Enabled", true, true);
    bag.Write(L"BackColor", std::int64_t{14346732}, std::wstring(L"14346732"));
    bag.Write(L"Style", std::int64_t{1}, std::int64_t{0});
    EXPECT_EQ(bag.size(), 1u);
    EXPECT_TRUE(bag.Contains(L"style"));
    // Writing the default later removes the earlier value.
    bag.Write(L"Style", std::int64_t{0}, std::int64_t{0});
    EXPECT_EQ(bag.size(), 0u);
}

TEST(PropertyBag, TypedReadsConvertOrRaiseTypeMismatch) {
    PropertyBag bag;
    bag.Write(L"BackColor", std::wstring(L" 14346732 "));
    bag.Write(L"Enabled", true);
    bag.Write(L"Ratio", 2.5);
    bag.Write(L"Caption", std::wstring(L"abc"));
    EXPECT_EQ(bag.ReadInt(L"BackColor", 0), 14346732);
    EXPECT_EQ(bag.ReadInt(L"Enabled", 0), -1);
    EXPECT_EQ(bag.ReadInt(L"Ratio", 0), 2);
    EXPECT_EQ(bag.ReadText(L"Enabled", L""), L"True");
    EXPECT_EQ(ErrorNumber([&] { bag.ReadInt(L"Caption", 0); }), error::kTypeMismatch);
    EXPECT_EQ(ErrorNumber([&] { bag.ReadBool(L"Caption", false); }), error::kTypeMismatch);
}

TEST(PropertyBag, TextFormatRoundTripsEveryType) {
    PropertyBag bag;
    bag.Write(L"Caption", std::wstring(L"登录 \"其他\" \\ 帐号\r\n\tend"));
    bag.Write(L"Enabled", false);
    bag.Write(L"Style", std::int64_t{-3});
    bag.Write(L"Size", 9.75);
    bag.Write(L"Empty", std::wstring());
    // Doubles that print like integers stay doubles, and -0 keeps its sign.
    bag.Write(L"Whole", 2.0);
    bag.Write(L"NegativeZero", -0.0);
    bag.Write(L"Large", 9007199254740992.0);
    bag.Write(L"Tiny", 4.9406564584124654e-324);
    const PropertyBag back = PropertyBag::Parse(bag.Serialize());
    EXPECT_EQ(back.entries(), bag.entries());
    EXPECT_TRUE(std::signbit(std::get<double>(back.Read(L"NegativeZero", 0.0))));
    // Order of writing is kept.
    EXPECT_EQ(back.entries().front().first, L"Caption");
}

TEST(PropertyBag, InfinitiesAndNanAreNoValues) {
    PropertyBag bag;
    for (const double bad :
         {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(ErrorNumber([&] { bag.Write(L"Size", bad); }), error::kInvalidArgument);
    }
    EXPECT_EQ(bag.size(), 0u);
    for (const wchar_t* bad :
         {L"Size = inf", L"Size = -infinity", L"Size = nan", L"Size = 1e999"}) {
        EXPECT_EQ(ErrorNumber([&] { PropertyBag::Parse(bad); }), error::kInvalidArgument) << bad;
    }
    bag.Write(L"Size", std::wstring(L"inf"));
    EXPECT_EQ(ErrorNumber([&] { bag.ReadDouble(L"Size", 0); }), error::kTypeMismatch);
    EXPECT_EQ(PropertyBag::Parse(L"Size = 1e-400").ReadDouble(L"Size", 1), 0.0); // underflow
}

TEST(PropertyBag, ParseReadsCommentsAndRejectsBrokenLines) {
    const PropertyBag bag =
        PropertyBag::Parse(L"; designed\r\n\r\n  Caption = \"a=b\"  \r\nAutoSize=false\n");
    EXPECT_EQ(bag.ReadText(L"caption", L""), L"a=b");
    EXPECT_FALSE(bag.ReadBool(L"AutoSize", true));
    for (const wchar_t* broken :
         {L"Caption \"x\"", L"= 1", L"Caption = \"open", L"Caption = x\"y\"",
          L"Caption = \"bad \\q\"", L"Style = 1.2.3"}) {
        EXPECT_EQ(ErrorNumber([&] { PropertyBag::Parse(broken); }), error::kInvalidArgument)
            << broken;
    }
}
