#include "controls/FontDesc.h"

#include "base/Error.h"
#include "base/PropertyBag.h"
#include "base/Text.h"

#include <vector>

namespace tessaly {
namespace {

[[noreturn]] void NotAFont(std::wstring_view text) {
    throw Error(error::kTypeMismatch, "not a font: " + WideToUtf8(text));
}

std::vector<std::wstring_view> Fields(std::wstring_view text) {
    std::vector<std::wstring_view> fields;
    while (true) {
        const auto comma = text.find(L',');
        fields.push_back(TrimSpaces(text.substr(0, comma)));
        if (comma == std::wstring_view::npos) return fields;
        text.remove_prefix(comma + 1);
    }
}

} // namespace

FontDesc DefaultFont() {
    FontDesc font;
    font.name = L"宋体";
    font.charset = kGb2312Charset;
    return font;
}

std::wstring FontDesc::ToText() const {
    std::wstring text = name + L"," + tessaly::ToText(PropertyValue(size));
    if (bold) text += L",bold";
    if (italic) text += L",italic";
    if (underline) text += L",underline";
    if (strikeout) text += L",strikeout";
    text += L",charset=" + DecimalText(charset);
    return text;
}

FontDesc FontDesc::Parse(std::wstring_view text) {
    const std::vector<std::wstring_view> fields = Fields(text);
    if (fields.size() < 2 || fields[0].empty()) NotAFont(text);
    FontDesc font;
    font.name = fields[0];
    try {
        font.size = ToDouble(PropertyValue(std::wstring(fields[1])));
    } catch (const Error&) {
        NotAFont(text);
    }
    if (!(font.size > 0 && font.size <= kMaxFontPoints)) NotAFont(text);
    for (std::size_t i = 2; i < fields.size(); ++i) {
        const std::wstring word = AsciiLower(fields[i]);
        if (word == L"bold") {
            font.bold = true;
        } else if (word == L"italic") {
            font.italic = true;
        } else if (word == L"underline") {
            font.underline = true;
        } else if (word == L"strikeout") {
            font.strikeout = true;
        } else if (word.starts_with(L"charset=")) {
            try {
                const std::int64_t charset = ToInt(PropertyValue(word.substr(8)));
                if (charset < 0 || charset > 255) NotAFont(text);
                font.charset = static_cast<int>(charset);
            } catch (const Error&) {
                NotAFont(text);
            }
        } else {
            NotAFont(text);
        }
    }
    return font;
}

} // namespace tessaly
