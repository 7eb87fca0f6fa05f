#pragma once
// A window that can be shown as the page of a tab.

#include "tabs/TabWindowCalls.h"

namespace tessaly {

class CTabItem;
class IuTab;

class ITabForm {
public:
    virtual ~ITabForm() = default;

    // The page's top window; the strip makes it a child of its page area.
    virtual WindowHandle hWnd() = 0;
    // Called twice for every tab added; each call replaces what the page held.
    // Neither reference owns: the item owns the page, and the strip owns the
    // item's collection, so both outlive the page's use of them.
    virtual void Initialize(IuTab* Implement, CTabItem* Item) = 0;
    virtual void RefreshPage() = 0;
    // Closes the page as its own unload would. Every page is a window the
    // model may close; closing one that is already closed does nothing.
    virtual void Unload() = 0;
};

} // namespace tessaly
