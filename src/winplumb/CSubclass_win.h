#pragma once
// Puts a procedure of our own in front of chosen windows of this process and
// reports their messages through WindowProc: messages in a window's before
// table ahead of its previous procedure (a handler that sets bHandled answers
// the message itself, with lReturn), messages in its after table once the
// previous procedure has answered (a handler may replace lReturn). Other
// messages pass untouched.
//
// Each subclassed window gets a record of its own with a fixed entry point
// (EntryPoints), so the per-message path finds its record without a lookup
// and allocates nothing. A subclass ends on ssc_UnSubclass, ssc_Terminate (and
// so with the object) or the window's WM_NCDESTROY, but only once the outermost
// call of its procedure has returned; the record is freed by a 100 ms timer
// afterwards, never while it is on the stack. Records therefore outlive the
// object that made them, and never call it once their subclass has ended.
//
// The owner's callback: the original picked one of the owner's routines by
// number (nOrdinal, 1 = the last) and tested its code address before every
// call, in case the owner had gone without ending its subclasses. Here the
// routines are this class's own member functions, so nOrdinal still picks one
// (1 is the one that raises WindowProc, the only one there is), and an owner
// cannot go unannounced: its destructor ends every subclass first. So there
// is no "callback lost" end state, and bIsAPIwindow, which only mattered
// then, is accepted without effect, as is bIdeSafety.
//
// The procedure is always installed, and the previous one called, with the
// wide-character functions; for a window of the 8-bit interfaces the system
// translates. bUnicode still tells the caller which kind the window was.
//
// Failures are never raised: each writes one entry to the error log, and the
// operation gives up (ssc_Subclass returns false, getters return 0).

#include <windows.h>

#include "base/Event.h"
#include "winplumb/MessageTable.h"

#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace tessaly::win {

class CSubclass {
public:
    // The When bits of ssc_AddMsg and ssc_DelMsg.
    static constexpr int MSG_BEFORE = 1;
    static constexpr int MSG_AFTER = 2;
    static constexpr int MSG_BEFORE_AFTER = 3;

    CSubclass();
    ~CSubclass();
    CSubclass(const CSubclass&) = delete;
    CSubclass& operator=(const CSubclass&) = delete;

    // bBefore, bHandled, lReturn, lng_hWnd, uMsg, wParam, lParam, lParamUser
    Event<bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LPARAM&> WindowProc;

    // The window gets WM_MOUSELEAVE once when the pointer next leaves it.
    void TrackMouseTracking(HWND hWnd);
    // bUnicode true on entry comes back telling whether the window is a
    // wide-character one; false stays false.
    bool ssc_Subclass(HWND hWnd, LPARAM lParamUser, int nOrdinal, bool bIdeSafety, bool& bUnicode,
                      bool bIsAPIwindow);
    bool ssc_Subclass(HWND hWnd, LPARAM lParamUser = 0, int nOrdinal = 1);
    void ssc_Terminate();
    // Events stop at once; the previous procedure is back after the window's
    // next message.
    void ssc_UnSubclass(HWND hWnd);
    LRESULT ssc_CallOrigWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void ssc_AddMsg(HWND hWnd, UINT uMsg, int When);
    void ssc_DelMsg(HWND hWnd, int When, std::initializer_list<UINT> messages);
    void zSet_lParamUser(HWND hWnd, LPARAM value);
    LPARAM zGet_lParamUser(HWND hWnd);

private:
    class Thunk;
    using Callback = void (CSubclass::*)(bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM,
                                         LPARAM&);

    void RaiseWindowProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg,
                         WPARAM wParam, LPARAM lParam, LPARAM& lParamUser);
    static Callback CallbackAt(int nOrdinal);
    Thunk* zMap_VFunction(HWND hWnd, bool bSilent = false);
    // ssc_UnSubclass takes the window out of the map.
    void Forget(const Thunk* thunk);
    // A subclass that ended by itself (its window went) keeps its place in
    // the map without a record, so lookups for it stay silent.
    void Ended(const Thunk* thunk);
    // Every record alive in the process: subclasses in use, and ended ones
    // waiting for their release tick.
    static std::vector<std::unique_ptr<Thunk>>& Records();
    static void CALLBACK ReleaseTick(HWND, UINT, UINT_PTR id, DWORD);

    bool trackMouseEventFound_ = false;
    // Created by the first ssc_Subclass that enters a window; in the order
    // the windows were entered. A null record: the window has gone.
    std::optional<std::vector<std::pair<HWND, Thunk*>>> map_;
};

} // namespace tessaly::win
