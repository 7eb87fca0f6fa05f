#include "update/SignatureDer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaly;
using namespace std::string_literals;

TEST(SignatureDer, OnlyTheStrictEncodingOfTwoNumbersInRangeIsRead) {
    const auto Hex = [](const std::string& text) {
        std::vector<std::byte> bytes;
        for (std::size_t i = 0; i + 1 < text.size(); i += 2)
            bytes.push_back(std::byte(std::stoi(text.substr(i, 2), nullptr, 16)));
        return bytes;
    };
    const std::string low = "7f" + std::string(62, 'e'), low31 = "7f" + std::string(60, 'e');
    const std::string high = "88" + std::string(62, '1'), one = std::string(62, '0') + "01";
    const std::string order = "ffffffff00000000ffffffffffffffffbce6faada7179e84f3b9cac2fc632551";
    const std::string top = order.substr(0, 62) + "50"; // the largest number there is
    // A sign byte; a short r; short numbers; the largest.
    const std::pair<std::string, std::string> accepted[] = {
        {"3045022100" + high + "0220" + low, high + low},
        {"3043021f" + low31 + "0220" + low, "00" + low31 + low},
        {"3006020101020101", one + one},
        {"3026022100" + top + "020101", top + one}};
    for (const auto& [der, raw] : accepted) {
        const auto read = RawSignatureFromDer(Hex(der));
        ASSERT_TRUE(read) << der;
        EXPECT_EQ(std::vector<std::byte>(read->begin(), read->end()), Hex(raw)) << der;
    }
    // A byte after the sequence, a second sequence, a length beyond the end or
    // short of it, long forms, a zero byte no high bit asked for, zero,
    // negative, 33 bytes of number, the group's order, three numbers, one,
    // cut short, empty, a SET, a BIT STRING, an empty sequence, nothing.
    for (const std::string& der :
         {"300602010102010100"s, "30060201010201013006020101020101"s, "3007020101020101"s,
          "3005020101020101"s, "308106020101020101"s, "300702810101020101"s, "300702010102020001"s,
          "3006020101020100"s, "3006020101020180"s, "3026022101" + low + "020101",
          "3026022100" + order + "020101", "3009020101020101020101"s, "3003020101"s,
          "3006020101020201"s, "30050201010200"s, "3106020101020101"s, "3006030101020101"s, "3000"s,
          ""s}) {
        EXPECT_FALSE(RawSignatureFromDer(Hex(der))) << der;
    }
}
