#pragma once
// A hook in front of a window's own procedure that reports messages through
// MsgCome with the message values by reference, so a handler can answer a
// message, change what the window's own procedure receives, or replace its
// result. Hooks last until the object is destroyed. That may happen from
// inside a MsgCome handler and after the window has gone: a hook still on the
// stack stays until its outermost call has returned, and reports no more.

#include <windows.h>

#include "base/Event.h"
#include "winplumb/EntryPoints_win.h"
#include "winplumb/MessageList.h"

#include <memory>
#include <vector>

namespace tessaly::win {

class cFormSubclass {
public:
    cFormSubclass();
    ~cFormSubclass();
    cFormSubclass(const cFormSubclass&) = delete;
    cFormSubclass& operator=(const cFormSubclass&) = delete;

    // bBefore, bHandled, lReturn, lng_hWnd, uMsg, wParam, lParam
    Event<bool, bool&, LRESULT&, HWND&, UINT&, WPARAM&, LPARAM&> MsgCome;

    // Hooks the window and reports all its messages before its own procedure.
    // False only when no entry point is left for another hook.
    bool AddWindowMsgs(HWND hWnd_Hook_ID);
    // Hooks end only with the object; this does nothing.
    bool DeleteWindowMsg(HWND /*hWnd_Hook_ID*/) { return false; }

    // The message lists of a hooked window (the "When" codes: 2 before, 1 after).
    static constexpr int kBefore = 2;
    static constexpr int kAfter = 1;
    void AddMsg(HWND hwnd, std::int32_t message, int when);
    void DelMsg(HWND hwnd, std::int32_t message, int when);

private:
    class Hook;
    // A hook is let go rather than deleted: it frees itself once nothing
    // can call it any more.
    struct LetGo {
        void operator()(Hook* hook) const;
    };
    Hook* Find(HWND hwnd);
    std::vector<std::unique_ptr<Hook, LetGo>> hooks_;
};

} // namespace tessaly::win
