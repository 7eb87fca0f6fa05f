#include "app/GameTabs.h"

namespace tessaly {

std::wstring GameTabKey(std::wstring_view address) {
    return L"Game" + std::wstring(address);
}

OpenedTab OpenGameTab(CTabItems& tabs, const std::wstring& address,
                      const std::function<std::unique_ptr<ITabForm>()>& makePage) {
    const std::wstring key = GameTabKey(address);
    if (const std::int32_t found = tabs.FindItem(TabLocator(key)); found != kNoTab) {
        tabs.SetSelected(found);
        return {found, false};
    }
    tabs.Add(key, makePage(), key);
    const std::int32_t last = tabs.Count() - 1;
    tabs.SetSelected(last);
    return {last, true};
}

} // namespace tessaly
