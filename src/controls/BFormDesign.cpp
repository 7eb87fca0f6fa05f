#include "controls/BFormDesign.h"

#include "controls/Colour.h"

namespace tessaly {

void ReadBFormDesign(const PropertyBag& bag, BFormDesign& design,
                     const std::function<void()>& paintBar) {
    design.BackColor =
        ColourFromValue(bag.Read(L"BackColor", std::wstring(kBFormBackColorDefault)));
    design.Caption = bag.ReadText(L"Caption", L"NewForm");
    paintBar();
    design.frmHwnd = bag.ReadInt(L"frmHwnd", 0);
    design.HasLogo = bag.ReadBool(L"HasLogo", design.HasLogo);
}

void WriteBFormDesign(PropertyBag& bag, const BFormDesign& design,
                      const std::function<void()>& paintBar) {
    bag.Write(L"BackColor", std::int64_t{design.BackColor}, std::wstring(kBFormBackColorDefault));
    bag.Write(L"Caption", design.Caption, std::wstring(L"NewForm"));
    paintBar();
    bag.Write(L"frmHwnd", design.frmHwnd, std::int64_t{0});
    bag.Write(L"HasLogo", design.HasLogo);
}

} // namespace tessaly
