#include "controls/ButtonDesign.h"

#include "base/Error.h"

#include <limits>

namespace tessaly {
namespace {

int ReadInt32(const PropertyBag& bag, std::wstring_view name, int fallback) {
    const std::int64_t value = bag.ReadInt(name, fallback);
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        throw Error(error::kTypeMismatch, "out of range: " + std::to_string(value));
    return static_cast<int>(value);
}

} // namespace

void WriteButtonDesign(PropertyBag& bag, const ButtonDesign& d) {
    bag.Write(L"BackPicture", d.BackPicture, std::wstring());
    bag.Write(L"Icon", d.Icon, std::wstring());
    bag.Write(L"Enabled", d.Enabled, true);
    bag.Write(L"Style", std::int64_t{d.Style}, std::int64_t{0});
    bag.Write(L"cBackStyle", std::int64_t{d.cBackStyle}, std::int64_t{1});
    bag.Write(L"Caption", d.Caption, std::wstring());
    bag.Write(L"AutoSize", d.AutoSize, true);
    bag.Write(L"cFont", d.cFont.ToText());
    bag.Write(L"cDrawMode", std::int64_t{d.cDrawMode});
    bag.Write(L"cForeColor", std::int64_t{d.cForeColor});
}

ButtonDesign ReadButtonDesign(const PropertyBag& bag, const ButtonDesign& current) {
    ButtonDesign d;
    d.BackPicture = bag.ReadText(L"BackPicture", L"");
    d.Icon = bag.ReadText(L"Icon", L"");
    d.Enabled = bag.ReadBool(L"Enabled", true);
    d.cBackStyle = ReadInt32(bag, L"cBackStyle", 1);
    d.Caption = bag.ReadText(L"Caption", L"");
    d.Style = ReadInt32(bag, L"Style", 0);
    d.AutoSize = bag.ReadBool(L"AutoSize", true);
    d.cForeColor = ColourFromValue(bag.Read(L"cForeColor", std::int64_t{current.cForeColor}));
    d.cFont = bag.Contains(L"cFont") ? FontDesc::Parse(bag.ReadText(L"cFont", L"")) : current.cFont;
    d.cDrawMode = ReadInt32(bag, L"cDrawMode", current.cDrawMode);
    return d;
}

} // namespace tessaly
