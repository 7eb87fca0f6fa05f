#include "base/Decimal.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace tessaly {
namespace {

// A positive decimal 0.d1d2d3... x 10^point; no leading or trailing zero
// digits, so comparing two is comparing points, then texts. No digits is zero.
struct Digits {
    std::string digits;
    long long point = 0;
};

int Compare(const Digits& a, const Digits& b) {
    if (a.digits.empty() || b.digits.empty())
        return int(!a.digits.empty()) - int(!b.digits.empty());
    if (a.point != b.point) return a.point < b.point ? -1 : 1;
    return a.digits.compare(b.digits);
}

void StripTrailingZeros(std::string& digits) {
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
}

// An unsigned integer of 32-bit limbs, least significant first.
using Big = std::vector<std::uint32_t>;

void Multiply(Big& n, std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : n) {
        const std::uint64_t product = std::uint64_t{limb} * factor + carry;
        limb = static_cast<std::uint32_t>(product);
        carry = product >> 32;
    }
    if (carry) n.push_back(static_cast<std::uint32_t>(carry));
}

std::uint32_t DivideReturningRest(Big& n, std::uint32_t divisor) {
    std::uint64_t rest = 0;
    for (std::size_t i = n.size(); i-- > 0;) {
        const std::uint64_t part = (rest << 32) | n[i];
        n[i] = static_cast<std::uint32_t>(part / divisor);
        rest = part % divisor;
    }
    while (!n.empty() && n.back() == 0)
        n.pop_back();
    return static_cast<std::uint32_t>(rest);
}

// mantissa x 2^exponent written out in full: every binary fraction has a
// finite decimal one (2^-k = 5^k x 10^-k).
Digits Exact(std::uint64_t mantissa, int exponent) {
    Big n{static_cast<std::uint32_t>(mantissa), static_cast<std::uint32_t>(mantissa >> 32)};
    long long scale = 0;
    for (; exponent >= 31; exponent -= 31)
        Multiply(n, 1u << 31);
    if (exponent > 0) Multiply(n, 1u << exponent);
    constexpr std::uint32_t kFivePow13 = 1220703125;
    for (; exponent <= -13; exponent += 13, scale -= 13)
        Multiply(n, kFivePow13);
    for (; exponent < 0; ++exponent, --scale)
        Multiply(n, 5);
    while (!n.empty() && n.back() == 0)
        n.pop_back();
    std::string reversed;
    while (!n.empty()) {
        std::uint32_t chunk = DivideReturningRest(n, 1000000000);
        for (int i = 0; i < 9; ++i, chunk /= 10)
            reversed += static_cast<char>('0' + chunk % 10);
    }
    StripTrailingZeros(reversed); // the leading zeros of the last chunk
    Digits out{std::string(reversed.rbegin(), reversed.rend()),
               static_cast<long long>(reversed.size()) + scale};
    StripTrailingZeros(out.digits);
    return out;
}

// A non-negative double (or +infinity, as 2^1024) as mantissa x 2^exponent.
struct Binary {
    std::uint64_t mantissa;
    int exponent;
};

Binary Split(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const auto biased = static_cast<int>(bits >> 52);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0) return {fraction, -1074};
    return {fraction | std::uint64_t{1} << 52, biased - 1075};
}

double Step(double value, int direction) {
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(value) + direction);
}

// The exact middle between a non-negative double and the next one up.
Digits MiddleAbove(double value) {
    Binary low = Split(value), high = Split(Step(value, 1));
    // Across a power of two the upper one has the larger exponent (by one).
    if (high.exponent > low.exponent) high.mantissa <<= 1, high.exponent = low.exponent;
    return Exact(low.mantissa + high.mantissa, low.exponent - 1);
}

bool IsOdd(double value) {
    return std::bit_cast<std::uint64_t>(value) & 1;
}

// A first guess within a few units in the last place; exact for up to 15
// digits times a power of ten up to 10^22, both of which doubles hold exactly.
double Estimate(const Digits& number, bool& exact) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::uint64_t leading = 0;
    const std::size_t used = std::min<std::size_t>(number.digits.size(), 19);
    for (std::size_t i = 0; i < used; ++i)
        leading = leading * 10 + static_cast<unsigned>(number.digits[i] - '0');
    long long power = number.point - static_cast<long long>(used);
    exact = number.digits.size() <= 15 && power >= -22 && power <= 22;
    double value = static_cast<double>(leading);
    for (; power > 0; power -= std::min(power, 22LL))
        value *= kPowers[std::min(power, 22LL)];
    for (; power < 0; power += std::min(-power, 22LL))
        value /= kPowers[std::min(-power, 22LL)];
    return value;
}

// The double nearest to a positive decimal, halves to even; empty when it
// rounds beyond the largest double.
std::optional<double> Nearest(const Digits& number) {
    // Far outside the doubles' range the guess would have to walk too far.
    if (number.point > 310) return {};
    if (number.point < -330) return 0.0;
    bool exact = false;
    double value = Estimate(number, exact);
    if (exact) return value;
    constexpr double kMax = std::numeric_limits<double>::max();
    value = std::min(value, kMax);
    for (;;) {
        const int above = Compare(number, MiddleAbove(value));
        if (above > 0 || (above == 0 && IsOdd(value))) {
            if (value == kMax) return {};
            value = Step(value, 1);
            continue;
        }
        if (value > 0) {
            const int below = Compare(number, MiddleAbove(Step(value, -1)));
            if (below < 0 || (below == 0 && IsOdd(value))) {
                value = Step(value, -1);
                continue;
            }
        }
        return value;
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Keeps the first `significant` digits, rounding the rest away, halves to even.
void Round(Digits& number, std::size_t significant) {
    std::string& d = number.digits;
    if (d.size() <= significant) return;
    const char next = d[significant];
    const bool up =
        next > '5' ||
        (next == '5' && (d.size() > significant + 1 || (d[significant - 1] - '0') % 2 == 1));
    d.resize(significant);
    if (up) {
        std::size_t i = d.size();
        while (i > 0 && d[i - 1] == '9')
            d[--i] = '0';
        if (i == 0) {
            d.insert(d.begin(), '1');
            ++number.point;
        } else {
            ++d[i - 1];
        }
    }
    StripTrailingZeros(d);
}

} // namespace

std::optional<double> ParseDecimal(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    Digits number;
    bool anyDigit = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        anyDigit = true;
        if (number.digits.empty() && text[i] == '0') continue;
        number.digits += text[i];
        ++number.point;
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i) {
            anyDigit = true;
            if (number.digits.empty() && text[i] == '0') {
                --number.point;
                continue;
            }
            number.digits += text[i];
        }
    }
    if (!anyDigit) return {};
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negativeExponent = text[i++] == '-';
        if (i == text.size() || !IsDigit(text[i])) return {};
        long long exponent = 0;
        // Beyond a million the answer is zero or too large either way.
        for (; i < text.size() && IsDigit(text[i]); ++i)
            exponent = std::min(exponent * 10 + (text[i] - '0'), 1000000LL);
        number.point += negativeExponent ? -exponent : exponent;
    }
    if (i != text.size()) return {};
    StripTrailingZeros(number.digits);
    const std::optional<double> magnitude = number.digits.empty() ? 0.0 : Nearest(number);
    if (!magnitude) return {};
    return negative ? -*magnitude : *magnitude;
}

std::string FormatDecimal(double value, int significant) {
    if (std::isnan(value)) return "nan";
    std::string out = std::signbit(value) ? "-" : "";
    value = std::fabs(value);
    if (std::isinf(value)) return out + "inf";
    if (value == 0) return out + "0";
    const std::size_t wanted = significant < 1 ? 1 : static_cast<std::size_t>(significant);
    const Binary binary = Split(value);
    Digits number = Exact(binary.mantissa, binary.exponent);
    Round(number, wanted);
    const std::string& d = number.digits;
    const long long exponent = number.point - 1;
    if (exponent < -4 || exponent >= static_cast<long long>(wanted)) {
        out += d[0];
        if (d.size() > 1) out += '.' + d.substr(1);
        const std::string power = std::to_string(exponent < 0 ? -exponent : exponent);
        return out + (exponent < 0 ? "e-" : "e+") + (power.size() < 2 ? "0" : "") + power;
    }
    if (number.point <= 0) return out + "0." + std::string(-number.point, '0') + d;
    const auto whole = static_cast<std::size_t>(number.point);
    if (d.size() <= whole) return out + d + std::string(whole - d.size(), '0');
    return out + d.substr(0, whole) + '.' + d.substr(whole);
}

} // namespace tessaly
