#include "base/Decimal.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>

using namespace tessaly;

TEST(Decimal, ReadsTheNearestDoubleOrNothing) {
    const double tiny = std::numeric_limits<double>::denorm_min();
    const double most = std::numeric_limits<double>::max();
    const struct {
        const char* text;
        double value;
    } read[] = {{"12.5", 12.5},
                {"+1.5", 1.5},
                {".5", 0.5},
                {"5.", 5},
                {"007", 7},
                {"1E+05", 1e5},
                {"0.000", 0},
                {"1e-400", 0},
                {"2.4703282292062327e-324", 0},
                {"2.4703282292062328e-324", tiny},
                {"1.7976931348623158e308", most},
                // Exactly between two doubles: the even one; any digit beyond decides.
                {"9007199254740993", 9007199254740992.0},
                {"9007199254740995", 9007199254740996.0},
                {"9007199254740993.00000000000000000001", 9007199254740994.0}};
    for (const auto& [text, value] : read)
        EXPECT_EQ(ParseDecimal(text), value) << text;
    EXPECT_TRUE(std::signbit(*ParseDecimal("-0")));
    for (const char* bad : {"", "+", "-", ".", "e5", "1e", "1e+", " 1", "1 ", "0x10", "inf", "nan",
                            "1.2.3", "+-1", "1.7976931348623159e308", "1e999999999999999999999"})
        EXPECT_FALSE(ParseDecimal(bad)) << bad;
}

// The C library's conversions are exact; ours must agree with them everywhere.
TEST(Decimal, AgreesWithTheCLibrary) {
    // Beyond the largest double the library answers infinity, we nothing.
    const auto agrees = [](const char* text) {
        const double library = std::strtod(text, nullptr);
        return std::isinf(library) ? !ParseDecimal(text) : ParseDecimal(text) == library;
    };
    std::mt19937_64 random(19);
    char expected[64];
    for (int i = 0; i < 3000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value)) continue;
        for (const int digits : {1, 6, 15, 16, 17}) {
            std::snprintf(expected, sizeof expected, "%.*g", digits, value);
            ASSERT_EQ(FormatDecimal(value, digits), expected) << digits;
        }
        // Near a double (the last digit moved), and with a random exponent.
        std::snprintf(expected, sizeof expected, "%.16e", value);
        expected[17] = static_cast<char>('0' + random() % 10);
        ASSERT_TRUE(agrees(expected)) << expected;
        std::snprintf(expected, sizeof expected, "%llue%d",
                      static_cast<unsigned long long>(random() >> (random() % 64)),
                      static_cast<int>(random() % 700) - 350);
        ASSERT_TRUE(agrees(expected)) << expected;
    }
}
