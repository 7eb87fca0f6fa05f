#pragma once
// What the tab model asks of the strip that shows it. The collection and its
// items hold the strip through this interface and never own it.

#include "tabs/TabLocator.h"
#include "tabs/TabWindowCalls.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tessaly {

namespace win {
class uTab;
}

class CTabItem;
class CTabItems;
class ITabForm;

class IuTab {
public:
    virtual ~IuTab() = default;

    // The collection already holds the new tab; Key and Index are the
    // collection's arguments as it received them.
    virtual void Add(const std::wstring& Caption, ITabForm* Form,
                     const std::optional<std::wstring>& Key,
                     const std::optional<TabLocator>& Index) = 0;
    // False vetoes the removal of the tab at Index.
    virtual bool BeforeRemove(std::int32_t Index) = 0;
    // The tab that was at Index has left the collection.
    virtual void Remove(std::int32_t Index) = 0;
    virtual void Clear() = 0;
    virtual void Redraw(bool bUpdate) = 0;
    virtual void ChangeForm(CTabItem& Item, ITabForm* Form) = 0;
    virtual std::int32_t Selected() const = 0;
    virtual void SetSelected(std::int32_t value) = 0;
    virtual CTabItems& TabItems() = 0;
    virtual WindowHandle hWnd() const = 0;
    // The window of the form that holds the strip, or 0.
    virtual WindowHandle hParent() const = 0;
    virtual win::uTab* Control() = 0;
};

} // namespace tessaly
