#pragma once
// The designed properties of a control, kept by its host window. Names are
// matched without regard to case; reading a missing name gives the caller's
// default; writing a value equal to the given default leaves it out, so a
// stored design holds only what differs from the control's defaults.
//
// Stored as text, one property a line, in the order written:
//   Caption = "Log in"
//   Enabled = False
//   Style = 1
// Texts are quoted with \" \\ \n \r \t escapes; numbers are decimal (a
// floating-point one always has a point or an exponent, "2.0", so it reads back
// as one); booleans True or False; lines starting with ';' are comments.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tessaly {

using PropertyValue = std::variant<bool, std::int64_t, double, std::wstring>;

class PropertyBag {
public:
    PropertyValue Read(std::wstring_view name, PropertyValue fallback) const;
    // Typed reads convert as a designer would expect (a number stored as text
    // reads as that number, True reads as -1); a value that cannot be converted
    // raises the type-mismatch error.
    bool ReadBool(std::wstring_view name, bool fallback) const;
    std::int64_t ReadInt(std::wstring_view name, std::int64_t fallback) const;
    double ReadDouble(std::wstring_view name, double fallback) const;
    std::wstring ReadText(std::wstring_view name, std::wstring_view fallback) const;

    // Replaces an earlier value of the same name in place. An infinite or NaN
    // number raises the invalid-argument error.
    void Write(std::wstring_view name, PropertyValue value);
    // Leaves the name out (and removes an earlier value) when value equals defaultValue.
    void Write(std::wstring_view name, PropertyValue value, const PropertyValue& defaultValue);

    bool Contains(std::wstring_view name) const { return Find(name) != nullptr; }
    std::size_t size() const { return entries_.size(); }
    const std::vector<std::pair<std::wstring, PropertyValue>>& entries() const { return entries_; }

    std::wstring Serialize() const;
    // Raises the invalid-argument error, naming the line, on text it cannot read.
    static PropertyBag Parse(std::wstring_view text);

private:
    const PropertyValue* Find(std::wstring_view name) const;
    std::vector<std::pair<std::wstring, PropertyValue>> entries_;
};

bool ToBool(const PropertyValue& value);
std::int64_t ToInt(const PropertyValue& value);
double ToDouble(const PropertyValue& value);
std::wstring ToText(const PropertyValue& value);
// Same type and value, or the same text (so 14346732 equals "14346732").
bool SameValue(const PropertyValue& a, const PropertyValue& b);

} // namespace tessaly
