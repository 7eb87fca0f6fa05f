#include "tabs/CTabItem.h"

#include "base/ErrorLog.h"
#include "tabs/ITabForm.h"
#include "tabs/IuTab.h"

namespace tessaly {

CTabItem::~CTabItem() {
    try {
        CloseForm();
    } catch (...) {
        // A destructor has no caller to tell.
        LogCurrentException(L"CTabItem: closing its page");
    }
}

void CTabItem::Repaint() {
    if (owner_) owner_->Redraw(true);
}

void CTabItem::SetCaption(std::wstring value) {
    caption_ = std::move(value);
    Repaint();
}

void CTabItem::SetHideButton(bool value) {
    hideButton_ = value;
    Repaint();
}

void CTabItem::SetLockSize(bool value) {
    lockSize_ = value;
    Repaint();
}

void CTabItem::SetForm(std::unique_ptr<ITabForm> value) {
    if (form_ && form_ != value) CloseForm();
    form_ = std::move(value);
    if (!form_) return;
    form_->Initialize(owner_, this);
    if (owner_) owner_->ChangeForm(*this, form_.get());
}

void CTabItem::CloseForm() {
    // Taken out first: the page's own unload may look at its item again.
    std::unique_ptr<ITabForm> page = std::move(form_);
    if (page) page->Unload();
}

} // namespace tessaly
