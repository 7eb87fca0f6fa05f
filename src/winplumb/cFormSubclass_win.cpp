#include "winplumb/cFormSubclass_win.h"

#include "base/ErrorLog.h"

#include <utility>

namespace tessaly::win {

// One hooked window: its entry point, what it replaced and its two lists.
//
// Its owner may go while one of the hook's calls is still on the stack (a
// handler that closes the window and releases the object that hooked it), so
// the hook counts its running calls and, once its owner has let go, frees
// itself only when the outermost call returns and no procedure of the window
// can reach it any more.
class cFormSubclass::Hook final : public EntryRecord {
public:
    Hook(cFormSubclass& owner, HWND hwnd)
        : owner_(&owner)
        , hwnd_(hwnd) {}

    bool Install() {
        entry_ = EntryPoints::Acquire(this);
        if (!entry_) {
            LogError(L"cFormSubclass: no entry point left to hook another window");
            return false;
        }
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry_)));
        if (!previous_) {
            EntryPoints::Release(std::exchange(entry_, nullptr));
            return false;
        }
        return true;
    }

    // The owner lets go: no more reports. The replaced procedure goes back
    // at once if nothing was installed in front of this hook since; one in
    // front still calls this hook, which then only passes messages on until
    // the window goes. The hook frees itself as soon as nothing can call it.
    void Detach() {
        owner_ = nullptr;
        if (!windowGone_ && IsWindow(hwnd_) &&
            reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)) == entry_) {
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
            restored_ = true;
        }
        FreeIfUnreachable();
    }

    LRESULT Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        ++nesting_;
        LRESULT result = 0;
        bool handled = false;
        if (owner_ && before.Matches(message))
            Report(true, handled, result, hwnd, message, wParam, lParam);
        if (!handled) {
            result = CallWindowProcW(previous_, hwnd, message, wParam, lParam);
            if (owner_ && after.Matches(message))
                Report(false, handled, result, hwnd, message, wParam, lParam);
        }
        --nesting_;
        if (message == WM_NCDESTROY) windowGone_ = true;
        if (!owner_) FreeIfUnreachable(); // nothing of this record is touched after it
        return result;
    }

    HWND hwnd() const { return hwnd_; }
    MessageList before, after;

private:
    void FreeIfUnreachable() {
        if (nesting_ > 0 || !(restored_ || windowGone_)) return;
        EntryPoints::Release(entry_);
        delete this;
    }

    void Report(bool phase, bool& handled, LRESULT& result, HWND& hwnd, UINT& message,
                WPARAM& wParam, LPARAM& lParam) {
        try {
            owner_->MsgCome.Raise(phase, handled, result, hwnd, message, wParam, lParam);
        } catch (...) {
            LogCurrentException(L"cFormSubclass.MsgCome");
        }
    }

    cFormSubclass* owner_; // null once the owner has let go
    HWND hwnd_;
    WNDPROC entry_ = nullptr;
    WNDPROC previous_ = nullptr;
    int nesting_ = 0;
    bool restored_ = false;
    bool windowGone_ = false;
};

cFormSubclass::cFormSubclass() = default;

void cFormSubclass::LetGo::operator()(Hook* hook) const {
    hook->Detach();
}

cFormSubclass::~cFormSubclass() {
    // Latest first, so each one that is in front can step out.
    while (!hooks_.empty())
        hooks_.pop_back();
}

bool cFormSubclass::AddWindowMsgs(HWND hWnd_Hook_ID) {
    auto hook = std::make_unique<Hook>(*this, hWnd_Hook_ID);
    if (!hook->Install()) return false;
    hook->before.Add(MessageList::kAllMessages);
    hooks_.emplace_back(hook.release());
    return true;
}

cFormSubclass::Hook* cFormSubclass::Find(HWND hwnd) {
    for (auto it = hooks_.rbegin(); it != hooks_.rend(); ++it) {
        if ((*it)->hwnd() == hwnd) return it->get();
    }
    return nullptr;
}

void cFormSubclass::AddMsg(HWND hwnd, std::int32_t message, int when) {
    if (Hook* hook = Find(hwnd)) {
        if (when & kBefore) hook->before.Add(message);
        if (when & kAfter) hook->after.Add(message);
    }
}

void cFormSubclass::DelMsg(HWND hwnd, std::int32_t message, int when) {
    if (Hook* hook = Find(hwnd)) {
        if (when & kBefore) hook->before.Delete(message);
        if (when & kAfter) hook->after.Delete(message);
    }
}

} // namespace tessaly::win
