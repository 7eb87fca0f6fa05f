#pragma once
// One tab: its text, its page, its place in the strip and a few flags.
//
// The item owns its page: the page lives exactly as long as the item that
// shows it, and an item that goes while it still holds its page closes it.
// The page refers back to its item and strip without owning either (it gets
// both through ITabForm::Initialize). An item taken out of the collection
// with its page left open stays alive, held by the collection, so the page
// keeps a valid item for as long as the collection exists.

#include <any>
#include <cstdint>
#include <memory>
#include <string>

namespace tessaly {

class ITabForm;
class IuTab;

class CTabItem {
public:
    CTabItem() = default;
    ~CTabItem();
    CTabItem(const CTabItem&) = delete;
    CTabItem& operator=(const CTabItem&) = delete;

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(std::wstring value);
    ITabForm* Form() const { return form_.get(); }
    // A page it held before is closed: nothing else would ever close it.
    void SetForm(std::unique_ptr<ITabForm> value);
    bool HideButton() const { return hideButton_; }
    void SetHideButton(bool value);
    std::int32_t Left() const { return left_; }
    std::int32_t Width() const { return width_; }
    bool LockSize() const { return lockSize_; }
    void SetLockSize(bool value);
    // Free for the caller; the model never reads it.
    const std::any& ItemData() const { return itemData_; }
    void SetItemData(std::any value) { itemData_ = std::move(value); }

    // For the collection and the strip only: the collection's Add writes the
    // owner and the saved style, the strip's layout writes Left and Width.
    IuTab* Owner() const { return owner_; }
    void SetOwner(IuTab* value) { owner_ = value; }
    void SetLeft(std::int32_t value) { left_ = value; }
    void SetWidth(std::int32_t value) { width_ = value; }
    std::uint32_t SavedStyle() const { return savedStyle_; }
    void SetSavedStyle(std::uint32_t value) { savedStyle_ = value; }
    // Closes the page and lets it go.
    void CloseForm();

private:
    void Repaint();

    std::wstring caption_;
    std::unique_ptr<ITabForm> form_;
    std::uint32_t savedStyle_ = 0;
    bool hideButton_ = false;
    IuTab* owner_ = nullptr;
    std::int32_t left_ = 0;
    std::int32_t width_ = 0;
    bool lockSize_ = false;
    std::any itemData_;
};

} // namespace tessaly
