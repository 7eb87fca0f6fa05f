#pragma once
// The skinned frame control's designed properties as its host stores them.
// Both orders are BackColor, Caption, (the bar is painted), frmHwnd, HasLogo.

#include "base/PropertyBag.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tessaly {

inline constexpr wchar_t kBFormBackColorDefault[] = L"14346732"; // red 236, green 233, blue 218

struct BFormDesign {
    std::uint32_t BackColor = 14346732;
    std::wstring Caption = L"NewForm";
    std::int64_t frmHwnd = 0; // the window a left press on the bar moves
    bool HasLogo = false;

    bool operator==(const BFormDesign&) const = default;
};

// Stores into `design` in the reading order and calls paintBar after Caption.
// HasLogo, when missing, keeps the value `design` has. A BackColor that is not
// a number raises the type-mismatch error.
void ReadBFormDesign(const PropertyBag& bag, BFormDesign& design,
                     const std::function<void()>& paintBar);
// BackColor is left out when it is the default colour, Caption when "NewForm",
// frmHwnd when 0; HasLogo is always written.
void WriteBFormDesign(PropertyBag& bag, const BFormDesign& design,
                      const std::function<void()>& paintBar);

} // namespace tessaly
