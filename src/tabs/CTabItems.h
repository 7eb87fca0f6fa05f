#pragma once
// The ordered, keyed collection of tabs. Positions seen from outside are
// 0-based; keys are unique and compared without regard to the case of A-Z.
// Every change that must reach the screen goes to the strip (IuTab), and
// every window call through the strip's TabWindowCalls.
//
// Errors: tessaly::Error with 5 (an Index that is not a number), 9 (a
// position out of range), error::kDuplicateKey, error::kKeyNotFound (Item
// with a key not stored) and error::kObjectNotSet (no page, or no strip).
// Errors of the strip and of pages reach the caller unchanged.

#include "tabs/CTabItem.h"
#include "tabs/TabLocator.h"
#include "tabs/TabWindowCalls.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessaly {

class ITabForm;
class IuTab;

inline constexpr std::int32_t kNoTab = -1;

class CTabItems {
public:
    explicit CTabItems(TabWindowCalls& windows)
        : windows_(windows) {}
    ~CTabItems();
    CTabItems(const CTabItems&) = delete;
    CTabItems& operator=(const CTabItems&) = delete;

    // Takes the page. The new tab is not selected. When the tab cannot be
    // stored (a bad Index or a duplicate key) the page has already been handed
    // to the strip; it is closed with the item that would have shown it.
    bool Add(std::wstring Caption, std::unique_ptr<ITabForm> Form,
             std::optional<std::wstring> Key = std::nullopt,
             std::optional<TabLocator> Index = std::nullopt);
    // False when nothing matches or the strip vetoes. With bUnload false the
    // page stays open and its item stays alive (see CTabItem.h).
    bool Remove(const TabLocator& Index, bool bUnload);
    // Closes every page in position order and empties the collection. The
    // strip is not told: this runs as its window goes away.
    bool Clear();
    // The 0-based position, or kNoTab. Never raises.
    std::int32_t FindItem(const TabLocator& Index) const;
    // Turns a tab's page back into a free top-level window, centred on the
    // screen with its saved style. True when a tab matched.
    bool ReleaseForm(const TabLocator& Index);
    std::int32_t Count() const { return static_cast<std::int32_t>(store_.size()); }
    // A key must be stored; a position out of range gives null.
    CTabItem* Item(const TabLocator& Index) const;
    // Null when out of range; the strip's loops use it.
    CTabItem* ItemAt(std::int32_t position) const {
        return position >= 0 && position < Count()
                   ? store_[static_cast<std::size_t>(position)].item.get()
                   : nullptr;
    }
    std::int32_t Selected() const;
    void SetSelected(std::int32_t value);

    IuTab* Owner() const { return owner_; }
    // Set once by the strip right after it creates the collection.
    void SetOwner(IuTab* value) { owner_ = value; }

private:
    struct Entry {
        std::optional<std::wstring> foldedKey;
        std::unique_ptr<CTabItem> item;
    };
    IuTab& Strip() const;
    std::size_t InsertPosition(const std::optional<TabLocator>& index) const;
    std::int32_t PositionOfKey(const std::wstring& key) const;
    std::int32_t PositionOf(const CTabItem* item) const;

    TabWindowCalls& windows_;
    IuTab* owner_ = nullptr;
    std::vector<Entry> store_;
    // Items taken out with their pages left open.
    std::vector<std::unique_ptr<CTabItem>> released_;
};

} // namespace tessaly
