#include "tabs/TabLocator.h"

#include "base/Decimal.h"
#include "base/Text.h"
#include "base/Units.h"

#include <cmath>
#include <algorithm>

namespace tessaly {
namespace {

std::optional<double> ParseNumber(std::wstring_view text) {
    return ParseDecimal(WideToUtf8(TrimSpaces(text)));
}

} // namespace

const ITabForm* TabLocator::page() const {
    const auto* page = std::get_if<const ITabForm*>(&value_);
    return page ? *page : nullptr;
}

const CTabItem* TabLocator::item() const {
    const auto* item = std::get_if<const CTabItem*>(&value_);
    return item ? *item : nullptr;
}

std::optional<long long> TabLocator::WholeNumber() const {
    std::optional<double> value;
    if (const double* n = number()) value = *n;
    if (const std::wstring* text = key()) value = ParseNumber(*text);
    if (!value || !std::isfinite(*value)) return {};
    // Clamped before rounding: a huge double has no integer to round to.
    constexpr double limit = 1LL << 31;
    return RoundHalfEven(std::clamp(*value, -limit - 1, limit));
}

} // namespace tessaly
