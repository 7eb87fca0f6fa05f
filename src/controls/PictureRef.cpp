#include "controls/PictureRef.h"

#include "base/Error.h"
#include "base/PropertyBag.h"
#include "base/Text.h"

namespace tessaly {

std::wstring PictureRef::ToText() const {
    return (kind == Kind::Bitmap ? L"bitmap:" : L"icon:") + DecimalText(id);
}

std::optional<PictureRef> PictureRef::Parse(std::wstring_view text) {
    text = TrimSpaces(text);
    if (text.empty()) return std::nullopt;
    const auto colon = text.find(L':');
    const std::wstring kind = AsciiLower(text.substr(0, colon));
    PictureRef ref;
    if (colon == std::wstring_view::npos || (kind != L"bitmap" && kind != L"icon"))
        throw Error(error::kTypeMismatch, "not a picture: " + WideToUtf8(text));
    ref.kind = kind == L"bitmap" ? Kind::Bitmap : Kind::Icon;
    const std::int64_t id = ToInt(PropertyValue(std::wstring(text.substr(colon + 1))));
    // Resource numbers are 16-bit.
    if (id < 1 || id > 0xFFFF)
        throw Error(error::kTypeMismatch, "not a picture: " + WideToUtf8(text));
    ref.id = static_cast<int>(id);
    return ref;
}

} // namespace tessaly
