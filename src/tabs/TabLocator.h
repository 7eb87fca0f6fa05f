#pragma once
// Names one tab: by key text, by 0-based position, by its page or by the item
// itself. Text is always a key, even when it reads as a number.

#include <optional>
#include <string>
#include <variant>

namespace tessaly {

class CTabItem;
class ITabForm;

class TabLocator {
public:
    TabLocator() = default; // names no tab
    TabLocator(int position)
        : value_(static_cast<double>(position)) {}
    TabLocator(double position)
        : value_(position) {}
    TabLocator(std::wstring key)
        : value_(std::move(key)) {}
    TabLocator(const wchar_t* key)
        : value_(std::wstring(key)) {}
    TabLocator(const ITabForm* page)
        : value_(page) {}
    TabLocator(const CTabItem* item)
        : value_(item) {}

    const std::wstring* key() const { return std::get_if<std::wstring>(&value_); }
    const double* number() const { return std::get_if<double>(&value_); }
    const ITabForm* page() const;
    const CTabItem* item() const;

    // The whole number a position stands for (rounded, halves to even); text
    // counts when it reads as a number. Empty when it is not numeric. Values
    // beyond 32 bits come back as just beyond them, out of range for any tab.
    std::optional<long long> WholeNumber() const;

private:
    std::variant<std::monostate, std::wstring, double, const ITabForm*, const CTabItem*> value_;
};

} // namespace tessaly
