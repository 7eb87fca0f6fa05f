#pragma once
// Decimal numbers read and written exactly, without the C library's
// conversions: strtod, printf and std::from_chars for double each bring tens of
// KiB of engine or tables into every program, for the few numbers that designs
// and tab positions hold.

#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// [+|-]digits[.digits][e|E[+|-]digits], at least one digit before the
// exponent, nothing around it (no spaces, no hexadecimal, no "inf" or "nan").
// The nearest double, halves to even; tiny values become zero; empty beyond
// the largest double.
std::optional<double> ParseDecimal(std::string_view text);

// What printf's "%.<significant>g" writes, with the exact value rounded to
// that many significant digits, halves to even.
std::string FormatDecimal(double value, int significant);

} // namespace tessaly
