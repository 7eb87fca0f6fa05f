#include "tabs/CTabItems.h"

#include "base/Error.h"
#include "base/Text.h"
#include "base/Units.h"
#include "tabs/ITabForm.h"
#include "tabs/IuTab.h"
#include "tabs/TabErrors.h"

#include <utility>

namespace tessaly {

CTabItems::~CTabItems() = default;

IuTab& CTabItems::Strip() const {
    if (!owner_) throw Error(error::kObjectNotSet, "the tab collection has no strip");
    return *owner_;
}

std::int32_t CTabItems::PositionOfKey(const std::wstring& key) const {
    const std::wstring folded = AsciiLower(key);
    for (std::size_t i = 0; i < store_.size(); ++i) {
        if (store_[i].foldedKey == folded) return static_cast<std::int32_t>(i);
    }
    return kNoTab;
}

std::int32_t CTabItems::PositionOf(const CTabItem* item) const {
    for (std::size_t i = 0; i < store_.size(); ++i) {
        if (store_[i].item.get() == item) return static_cast<std::int32_t>(i);
    }
    return kNoTab;
}

std::size_t CTabItems::InsertPosition(const std::optional<TabLocator>& index) const {
    if (!index) return store_.size();
    const std::optional<long long> n = index->WholeNumber();
    if (!n) throw Error(error::kInvalidArgument, "a tab position must be a number");
    if (*n < 0 || *n > Count()) throw Error(error::kOutOfRange, "tab position out of range");
    return static_cast<std::size_t>(*n);
}

bool CTabItems::Add(std::wstring Caption, std::unique_ptr<ITabForm> Form,
                    std::optional<std::wstring> Key, std::optional<TabLocator> Index) {
    if (!Form) throw Error(error::kObjectNotSet, "a tab needs a page");
    ITabForm* page = Form.get();
    const std::uint32_t style = windows_.GetWindowStyle(page->hWnd());

    auto item = std::make_unique<CTabItem>();
    item->SetSavedStyle(style);
    item->SetOwner(owner_);
    page->Initialize(owner_, item.get());
    item->SetCaption(Caption);
    // The page hears Initialize a second time here, and the strip adopts its
    // window, even when storing the tab fails below.
    item->SetForm(std::move(Form));

    const std::size_t at = InsertPosition(Index);
    std::optional<std::wstring> folded;
    if (Key) {
        if (PositionOfKey(*Key) != kNoTab)
            throw Error(error::kDuplicateKey, "this key is already in the tab collection");
        folded = AsciiLower(*Key);
    }
    store_.insert(store_.begin() + static_cast<std::ptrdiff_t>(at),
                  Entry{std::move(folded), std::move(item)});

    IuTab& strip = Strip();
    strip.Add(Caption, page, Key, Index);
    windows_.SetActiveWindow(strip.hWnd());
    return true;
}

bool CTabItems::Remove(const TabLocator& Index, bool bUnload) {
    const std::int32_t found = FindItem(Index);
    if (found == kNoTab) return false;
    const CTabItem* item = store_[static_cast<std::size_t>(found)].item.get();
    if (!Strip().BeforeRemove(found)) return false;

    // The veto's handler may have changed the collection: the item is taken
    // where it is now, and is not taken at all if it is gone already.
    const std::int32_t position = PositionOf(item);
    if (position == kNoTab) return false;
    const auto at = store_.begin() + position;
    std::unique_ptr<CTabItem> removed = std::move(at->item);
    store_.erase(at);

    Strip().Remove(position);
    if (bUnload)
        removed->CloseForm();
    else if (removed->Form())
        released_.push_back(std::move(removed));
    return true;
}

bool CTabItems::Clear() {
    // By index: a page's unload may reach back into the collection.
    for (std::size_t i = 0; i < store_.size(); ++i)
        store_[i].item->CloseForm();
    std::vector<Entry> gone = std::exchange(store_, {});
    return true;
}

std::int32_t CTabItems::FindItem(const TabLocator& Index) const {
    if (store_.empty()) return kNoTab;
    if (const std::wstring* key = Index.key()) return PositionOfKey(*key);
    if (Index.number()) {
        const std::optional<long long> n = Index.WholeNumber();
        return n && *n >= 0 && *n < Count() ? static_cast<std::int32_t>(*n) : kNoTab;
    }
    if (const ITabForm* page = Index.page()) {
        for (std::size_t i = 0; i < store_.size(); ++i) {
            if (store_[i].item->Form() == page) return static_cast<std::int32_t>(i);
        }
        return kNoTab;
    }
    if (const CTabItem* item = Index.item()) return PositionOf(item);
    return kNoTab;
}

bool CTabItems::ReleaseForm(const TabLocator& Index) {
    const std::int32_t found = FindItem(Index);
    if (found == kNoTab) return false;
    const CTabItem& item = *store_[static_cast<std::size_t>(found)].item;
    ITabForm* page = item.Form();
    const std::uint32_t savedStyle = item.SavedStyle();

    // A vetoed removal still frees the window below. Either way the item
    // lives on (in the store or among the released items), and so does the page.
    Remove(found, false);
    if (!page) return true;
    const WindowHandle window = page->hWnd();
    windows_.SetParent(window, 0);
    const int screenWidth = windows_.ScreenWidth();
    const int screenHeight = windows_.ScreenHeight();
    const WindowRect rect = windows_.GetWindowRect(window);
    windows_.SetWindowStyle(window, savedStyle);
    const auto x = RoundHalfEven((screenWidth - (rect.right - rect.left)) / 2.0);
    const auto y = RoundHalfEven((screenHeight - (rect.bottom - rect.top)) / 2.0);
    windows_.SetWindowPos(window, static_cast<int>(x), static_cast<int>(y));
    windows_.RedrawWindow(Strip().hParent());
    return true;
}

CTabItem* CTabItems::Item(const TabLocator& Index) const {
    if (const std::wstring* key = Index.key()) {
        const std::int32_t position = PositionOfKey(*key);
        if (position == kNoTab) throw Error(error::kKeyNotFound, "no tab has this key");
        return ItemAt(position);
    }
    if (!Index.number()) throw Error(error::kTypeMismatch, "a tab is named by key or position");
    const std::optional<long long> n = Index.WholeNumber();
    return n && *n >= 0 && *n < Count() ? ItemAt(static_cast<std::int32_t>(*n)) : nullptr;
}

std::int32_t CTabItems::Selected() const {
    return Strip().Selected();
}

void CTabItems::SetSelected(std::int32_t value) {
    Strip().SetSelected(value);
}

} // namespace tessaly
