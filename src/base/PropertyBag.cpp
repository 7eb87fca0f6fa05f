#include "base/PropertyBag.h"

#include "base/Decimal.h"
#include "base/Error.h"
#include "base/Text.h"
#include "base/Units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <utility>

namespace tessaly {
namespace {

[[noreturn]] void TypeMismatch(const PropertyValue& value) {
    throw Error(error::kTypeMismatch, "type mismatch: " + WideToUtf8(ToText(value)));
}

std::optional<std::int64_t> ParseInt(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return {};
    return value;
}

std::string FormatDouble(double value) {
    // The shortest of these that reads back as the same number.
    std::string text;
    for (const int digits : {15, 16, 17}) {
        text = FormatDecimal(value, digits);
        if (ParseDecimal(text) == value) break;
    }
    return text;
}

// A double written so that it reads back as a double: "2" or "-0" would come
// back as an integer (and -0 would lose its sign).
std::wstring StoredDouble(double value) {
    std::string text = FormatDouble(value);
    if (text.find_first_not_of("-0123456789") == std::string::npos) text += ".0";
    return Utf8ToWide(text);
}

// The characters a quoted text escapes, and the letter after the backslash.
constexpr std::pair<wchar_t, wchar_t> kEscapes[] = {
    {L'"', L'"'}, {L'\\', L'\\'}, {L'\n', L'n'}, {L'\r', L'r'}, {L'\t', L't'}};

std::wstring Quote(const std::wstring& text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        const auto* escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                          [c](const auto& e) { return e.first == c; });
        if (escape == std::end(kEscapes)) {
            out += c;
        } else {
            out += L'\\';
            out += escape->second;
        }
    }
    return out + L"\"";
}

std::optional<std::wstring> Unquote(std::wstring_view text) {
    if (text.size() < 2 || text.front() != L'"' || text.back() != L'"') return {};
    text = text.substr(1, text.size() - 2);
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'"') return {};
        if (text[i] != L'\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return {};
        const wchar_t letter = text[i];
        const auto* escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                          [letter](const auto& e) { return e.second == letter; });
        if (escape == std::end(kEscapes)) return {};
        out += escape->first;
    }
    return out;
}

std::optional<PropertyValue> ParseValue(std::wstring_view text) {
    if (!text.empty() && text.front() == L'"') {
        if (auto s = Unquote(text)) return PropertyValue(std::move(*s));
        return {};
    }
    if (EqualsIgnoreAsciiCase(text, L"True")) return PropertyValue(true);
    if (EqualsIgnoreAsciiCase(text, L"False")) return PropertyValue(false);
    const std::string narrow = WideToUtf8(text);
    if (auto i = ParseInt(narrow)) return PropertyValue(*i);
    if (auto d = ParseDecimal(narrow)) return PropertyValue(*d);
    return {};
}

} // namespace

bool ToBool(const PropertyValue& value) {
    if (auto b = std::get_if<bool>(&value)) return *b;
    if (auto i = std::get_if<std::int64_t>(&value)) return *i != 0;
    if (auto d = std::get_if<double>(&value)) return *d != 0;
    const auto& text = std::get<std::wstring>(value);
    const std::wstring_view trimmed = TrimSpaces(std::wstring_view(text));
    if (EqualsIgnoreAsciiCase(trimmed, L"True")) return true;
    if (EqualsIgnoreAsciiCase(trimmed, L"False")) return false;
    if (auto d = ParseDecimal(WideToUtf8(trimmed))) return *d != 0;
    TypeMismatch(value);
}

std::int64_t ToInt(const PropertyValue& value) {
    if (auto b = std::get_if<bool>(&value)) return *b ? -1 : 0;
    if (auto i = std::get_if<std::int64_t>(&value)) return *i;
    double d = 0;
    if (auto pd = std::get_if<double>(&value)) {
        d = *pd;
    } else {
        const std::string narrow =
            WideToUtf8(TrimSpaces(std::wstring_view(std::get<std::wstring>(value))));
        if (auto i = ParseInt(narrow)) return *i;
        auto parsed = ParseDecimal(narrow);
        if (!parsed) TypeMismatch(value);
        d = *parsed;
    }
    if (!(std::fabs(d) < 9.2e18)) TypeMismatch(value);
    return RoundHalfEven(d);
}

double ToDouble(const PropertyValue& value) {
    if (auto b = std::get_if<bool>(&value)) return *b ? -1.0 : 0.0;
    if (auto i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
    if (auto d = std::get_if<double>(&value)) return *d;
    auto parsed =
        ParseDecimal(WideToUtf8(TrimSpaces(std::wstring_view(std::get<std::wstring>(value)))));
    if (!parsed) TypeMismatch(value);
    return *parsed;
}

std::wstring ToText(const PropertyValue& value) {
    if (auto b = std::get_if<bool>(&value)) return *b ? L"True" : L"False";
    if (auto i = std::get_if<std::int64_t>(&value)) return DecimalText(*i);
    if (auto d = std::get_if<double>(&value)) return Utf8ToWide(FormatDouble(*d));
    return std::get<std::wstring>(value);
}

bool SameValue(const PropertyValue& a, const PropertyValue& b) {
    return a == b || ToText(a) == ToText(b);
}

const PropertyValue* PropertyBag::Find(std::wstring_view name) const {
    for (const auto& [key, value] : entries_) {
        if (EqualsIgnoreAsciiCase(key, name)) return &value;
    }
    return nullptr;
}

PropertyValue PropertyBag::Read(std::wstring_view name, PropertyValue fallback) const {
    const PropertyValue* value = Find(name);
    return value ? *value : std::move(fallback);
}

bool PropertyBag::ReadBool(std::wstring_view name, bool fallback) const {
    const PropertyValue* value = Find(name);
    return value ? ToBool(*value) : fallback;
}

std::int64_t PropertyBag::ReadInt(std::wstring_view name, std::int64_t fallback) const {
    const PropertyValue* value = Find(name);
    return value ? ToInt(*value) : fallback;
}

double PropertyBag::ReadDouble(std::wstring_view name, double fallback) const {
    const PropertyValue* value = Find(name);
    return value ? ToDouble(*value) : fallback;
}

std::wstring PropertyBag::ReadText(std::wstring_view name, std::wstring_view fallback) const {
    const PropertyValue* value = Find(name);
    return value ? ToText(*value) : std::wstring(fallback);
}

void PropertyBag::Write(std::wstring_view name, PropertyValue value) {
    // The stored text could not be read back, and the whole design with it.
    if (auto d = std::get_if<double>(&value); d && !std::isfinite(*d))
        throw Error(error::kInvalidArgument, "not a finite number: " + WideToUtf8(name));
    for (auto& [key, stored] : entries_) {
        if (EqualsIgnoreAsciiCase(key, name)) {
            stored = std::move(value);
            return;
        }
    }
    entries_.emplace_back(std::wstring(name), std::move(value));
}

void PropertyBag::Write(std::wstring_view name, PropertyValue value,
                        const PropertyValue& defaultValue) {
    if (!SameValue(value, defaultValue)) {
        Write(name, std::move(value));
        return;
    }
    std::erase_if(entries_,
                  [&](const auto& entry) { return EqualsIgnoreAsciiCase(entry.first, name); });
}

std::wstring PropertyBag::Serialize() const {
    std::wstring out;
    for (const auto& [key, value] : entries_) {
        out += key;
        out += L" = ";
        if (auto text = std::get_if<std::wstring>(&value)) {
            out += Quote(*text);
        } else if (auto d = std::get_if<double>(&value)) {
            out += StoredDouble(*d);
        } else {
            out += ToText(value);
        }
        out += L'\n';
    }
    return out;
}

PropertyBag PropertyBag::Parse(std::wstring_view text) {
    PropertyBag bag;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const auto end = text.find(L'\n');
        std::wstring_view line = text.substr(0, end);
        text = end == std::wstring_view::npos ? std::wstring_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        line = TrimSpaces(line);
        if (line.empty() || line.front() == L';') continue;
        const auto equals = line.find(L'=');
        const std::wstring_view name = TrimSpaces(line.substr(0, equals));
        std::optional<PropertyValue> value;
        if (equals != std::wstring_view::npos && !name.empty())
            value = ParseValue(TrimSpaces(line.substr(equals + 1)));
        if (!value) {
            throw Error(error::kInvalidArgument, "property text, line " +
                                                     std::to_string(lineNumber) + ": " +
                                                     WideToUtf8(line));
        }
        bag.Write(name, std::move(*value));
    }
    return bag;
}

} // namespace tessaly
