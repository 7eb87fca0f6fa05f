#include "winplumb/cFormSubclass_win.h"

#include "base/ErrorLog.h"

namespace tessaly::win {

// One hooked window: its entry point, what it replaced and its two lists.
class cFormSubclass::Hook final : public EntryRecord {
public:
    Hook(cFormSubclass& owner, HWND hwnd)
        : owner_(owner)
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
            EntryPoints::Release(entry_);
            entry_ = nullptr;
            return false;
        }
        return true;
    }

    // Puts the replaced procedure back. A hook that another hook was since
    // installed in front of cannot step out without cutting that one off:
    // it then only passes messages on, and frees itself with its window.
    // Returns false in that case; the caller must let go of the hook.
    bool Unhook() {
        active_ = false;
        if (!entry_) return true;
        if (IsWindow(hwnd_) &&
            reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)) != entry_)
            return false;
        if (IsWindow(hwnd_))
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        EntryPoints::Release(entry_);
        entry_ = nullptr;
        return true;
    }

    LRESULT Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (!active_) {
            const LRESULT result = CallWindowProcW(previous_, hwnd, message, wParam, lParam);
            if (message == WM_NCDESTROY) {
                EntryPoints::Release(entry_);
                delete this; // nothing of this record is touched after this point
            }
            return result;
        }
        LRESULT result = 0;
        bool handled = false;
        if (before.Matches(message)) Report(true, handled, result, hwnd, message, wParam, lParam);
        if (handled) return result;
        result = CallWindowProcW(previous_, hwnd, message, wParam, lParam);
        if (after.Matches(message)) Report(false, handled, result, hwnd, message, wParam, lParam);
        return result;
    }

    HWND hwnd() const { return hwnd_; }
    MessageList before, after;

private:
    void Report(bool phase, bool& handled, LRESULT& result, HWND& hwnd, UINT& message,
                WPARAM& wParam, LPARAM& lParam) {
        try {
            owner_.MsgCome.Raise(phase, handled, result, hwnd, message, wParam, lParam);
        } catch (...) {
            LogCurrentException(L"cFormSubclass.MsgCome");
        }
    }

    cFormSubclass& owner_;
    HWND hwnd_;
    WNDPROC entry_ = nullptr;
    WNDPROC previous_ = nullptr;
    bool active_ = true;
};

cFormSubclass::cFormSubclass() = default;

cFormSubclass::~cFormSubclass() {
    for (auto it = hooks_.rbegin(); it != hooks_.rend(); ++it) {
        if (!(*it)->Unhook()) static_cast<void>(it->release()); // it frees itself with its window
    }
}

bool cFormSubclass::AddWindowMsgs(HWND hWnd_Hook_ID) {
    auto hook = std::make_unique<Hook>(*this, hWnd_Hook_ID);
    if (!hook->Install()) return false;
    hook->before.Add(MessageList::kAllMessages);
    hooks_.push_back(std::move(hook));
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
