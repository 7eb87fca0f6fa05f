#pragma once
// The main window keeps one tab per game address. The tab's key is "Game"
// followed by the address, compared as the collection compares keys (without
// regard to the case of A-Z), so two addresses that differ only in letter
// case share one tab.

#include "tabs/CTabItems.h"
#include "tabs/ITabForm.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tessaly {

std::wstring GameTabKey(std::wstring_view address);

struct OpenedTab {
    std::int32_t position = kNoTab;
    bool created = false;
};

// Selects the tab of the address, or adds one with a page from makePage
// (which also starts loading the address) and selects that. An existing
// page is not reloaded.
OpenedTab OpenGameTab(CTabItems& tabs, const std::wstring& address,
                      const std::function<std::unique_ptr<ITabForm>()>& makePage);

} // namespace tessaly
