#include "winplumb/CSubclass_win.h"

#include "base/ErrorLog.h"
#include "base/Handles_win.h"
#include "base/Text.h"
#include "base/UniqueResource.h"
#include "winplumb/EntryPoints_win.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <utility>

namespace tessaly::win {
namespace {

// A timer of the thread (no window), killed by its owner.
struct ThreadTimerTraits {
    using Type = UINT_PTR;
    static Type Invalid() { return 0; }
    static bool IsValid(Type id) { return id != 0; }
    static void Release(Type id) { KillTimer(nullptr, id); }
};
using ThreadTimer = UniqueResource<ThreadTimerTraits>;

// The end states of a record.
constexpr int kActive = 0;
constexpr int kUnsubclassed = 1;
constexpr int kWindowGone = 0x8000;

constexpr UINT kReleaseDelayMs = 100;

bool Fail(std::wstring_view routine, std::wstring_view message) {
    LogError(L"CSubclass." + std::wstring(routine) + L": " + std::wstring(message));
    return false;
}

} // namespace

// One subclassed window: its entry point, what it replaced and its tables.
class CSubclass::Thunk final : public EntryRecord {
public:
    Thunk(CSubclass& owner, HWND hwnd, Callback callback, LPARAM lParamUser)
        : lParamUser_(lParamUser)
        , window_(hwnd)
        , owner_(&owner)
        , callback_(callback) {}
    ~Thunk() override {
        if (entry_) EntryPoints::Release(entry_);
    }

    bool AcquireEntry() { return (entry_ = EntryPoints::Acquire(this)) != nullptr; }
    WNDPROC entry() const { return entry_; }
    void SetPrevious(WNDPROC previous) { previous_ = previous; }
    bool Active() const { return endState_ == kActive; }
    UINT_PTR releaseTimer() const { return releaseTimer_.get(); }

    // ssc_UnSubclass: no event from here on; the end itself waits for the
    // window's next message.
    void Unsubclass() {
        endState_ = kUnsubclassed;
        LetGo();
    }
    // The owner goes while this record's end is still to come (its window
    // went inside a call that has not returned yet): it is told nothing more.
    void LetGo() {
        before.Clear();
        after.Clear();
        owner_ = nullptr;
    }

    LRESULT CallPrevious(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        // Called again after its end (a hook in front of it still calls it):
        // it must stay alive for that call.
        releaseTimer_.reset();
        return CallWindowProcW(previous_, hwnd, message, wParam, lParam);
    }

    LRESULT Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        ++nesting_;
        LRESULT lReturn = 0;
        if (endState_ != kActive) {
            lReturn = CallPrevious(hwnd, message, wParam, lParam);
        } else {
            bool bHandled = false;
            if (before.Matches(message))
                Report(true, bHandled, lReturn, hwnd, message, wParam, lParam);
            if (!bHandled) {
                lReturn = CallPrevious(hwnd, message, wParam, lParam);
                // A handler that ended the subclass emptied the tables.
                if (after.Matches(message))
                    Report(false, bHandled, lReturn, hwnd, message, wParam, lParam);
            }
        }
        --nesting_;
        if (message == WM_NCDESTROY) endState_ = kWindowGone;
        if (nesting_ == 0 && endState_ != kActive) End();
        return lReturn;
    }

    MessageTable before;
    MessageTable after;
    LPARAM lParamUser_;

private:
    void Report(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND hwnd, UINT message,
                WPARAM wParam, LPARAM lParam) {
        try {
            (owner_->*callback_)(bBefore, bHandled, lReturn, hwnd, message, wParam, lParam,
                                 lParamUser_);
        } catch (...) {
            LogCurrentException(L"CSubclass.WindowProc");
        }
    }

    // Runs when the outermost call of the procedure returns after the end.
    void End() {
        // The previous procedure goes back only while ours is the window's
        // procedure: a hook installed in front of ours since would be cut off
        // (it still calls us, and we pass everything on until the window goes).
        const bool inFront =
            reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window_, GWLP_WNDPROC)) == entry_;
        if (inFront)
            SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        if (owner_) {
            CSubclass* owner = std::exchange(owner_, nullptr);
            owner->Ended(this);
        }
        // With its window gone no call can come any more.
        if (inFront || endState_ == kWindowGone) StartRelease();
    }

    void StartRelease();

    HWND window_;
    CSubclass* owner_; // null once the owner has let go of this record
    Callback callback_;
    WNDPROC entry_ = nullptr;
    WNDPROC previous_ = nullptr;
    int nesting_ = 0;
    int endState_ = kActive;
    ThreadTimer releaseTimer_;
};

std::vector<std::unique_ptr<CSubclass::Thunk>>& CSubclass::Records() {
    static std::vector<std::unique_ptr<Thunk>> records;
    return records;
}

void CALLBACK CSubclass::ReleaseTick(HWND, UINT, UINT_PTR id, DWORD) {
    try {
        auto& records = Records();
        const auto it = std::find_if(records.begin(), records.end(), [id](const auto& record) {
            return record->releaseTimer() == id;
        });
        if (it != records.end())
            records.erase(it); // kills the timer and frees the entry point
        else
            KillTimer(nullptr, id);
    } catch (...) {
        LogCurrentException(L"CSubclass release timer");
    }
}

void CSubclass::Thunk::StartRelease() {
    releaseTimer_.reset(SetTimer(nullptr, 0, kReleaseDelayMs, &ReleaseTick));
}

CSubclass::CSubclass() {
    const UniqueModule user32(LoadLibraryW(L"User32"));
    trackMouseEventFound_ = user32 && GetProcAddress(user32.get(), "TrackMouseEvent") != nullptr;
}

CSubclass::~CSubclass() {
    ssc_Terminate();
}

void CSubclass::RaiseWindowProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd,
                                UINT uMsg, WPARAM wParam, LPARAM lParam, LPARAM& lParamUser) {
    WindowProc.Raise(bBefore, bHandled, lReturn, lng_hWnd, uMsg, wParam, lParam, lParamUser);
}

CSubclass::Callback CSubclass::CallbackAt(int nOrdinal) {
    // Counted from the last, as the owner's routines were.
    static constexpr std::array<Callback, 1> kRoutines{&CSubclass::RaiseWindowProc};
    const int count = static_cast<int>(kRoutines.size());
    if (nOrdinal < 1 || nOrdinal > count) return nullptr;
    return kRoutines[static_cast<std::size_t>(count - nOrdinal)];
}

void CSubclass::TrackMouseTracking(HWND hWnd) {
    TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hWnd, 0};
    if (trackMouseEventFound_) {
        TrackMouseEvent(&tme);
        return;
    }
    const UniqueModule comctl(LoadLibraryW(L"comctl32.dll"));
    using Track = BOOL(WINAPI*)(LPTRACKMOUSEEVENT);
    const FARPROC found = comctl ? GetProcAddress(comctl.get(), "_TrackMouseEvent") : nullptr;
    if (found) reinterpret_cast<Track>(reinterpret_cast<void (*)()>(found))(&tme);
}

bool CSubclass::ssc_Subclass(HWND hWnd, LPARAM lParamUser, int nOrdinal) {
    bool bUnicode = false;
    return ssc_Subclass(hWnd, lParamUser, nOrdinal, false, bUnicode, false);
}

bool CSubclass::ssc_Subclass(HWND hWnd, LPARAM lParamUser, int nOrdinal, bool /*bIdeSafety*/,
                             bool& bUnicode, bool /*bIsAPIwindow*/) {
    constexpr std::wstring_view routine = L"ssc_Subclass";
    if (!IsWindow(hWnd)) return Fail(routine, L"Invalid window handle");
    DWORD process = 0;
    GetWindowThreadProcessId(hWnd, &process);
    if (process != GetCurrentProcessId())
        return Fail(routine, L"Window handle belongs to another process");
    const Callback callback = CallbackAt(nOrdinal);
    if (!callback) return Fail(routine, L"Callback method not found");

    auto thunk = std::make_unique<Thunk>(*this, hWnd, callback, lParamUser);
    // The record's memory is ordinary; what can run out is the fixed set of
    // entry points, which is reported as the allocation failure it replaces.
    if (!thunk->AcquireEntry())
        return Fail(routine,
                    L"VirtualAlloc failed, error: " + DecimalText(ERROR_NOT_ENOUGH_MEMORY));
    if (!map_) map_.emplace();
    // A handle whose earlier window has gone may come back for a new one.
    std::erase_if(*map_, [hWnd](const auto& e) { return e.first == hWnd && !e.second; });
    const bool entered =
        std::any_of(map_->begin(), map_->end(), [hWnd](const auto& e) { return e.first == hWnd; });
    if (entered) return Fail(routine, L"Window handle is already subclassed");
    map_->emplace_back(hWnd, thunk.get());

    if (bUnicode) bUnicode = IsWindowUnicode(hWnd) != FALSE;
    SetLastError(ERROR_SUCCESS);
    const LONG_PTR previous =
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(thunk->entry()));
    if (previous == 0) {
        const DWORD error = GetLastError();
        map_->pop_back();
        return Fail(routine, L"SetWindowLong failed, error #" + DecimalText(error));
    }
    thunk->SetPrevious(reinterpret_cast<WNDPROC>(previous));
    Records().push_back(std::move(thunk));
    return true;
}

void CSubclass::ssc_Terminate() {
    if (!map_) return;
    const std::vector<std::pair<HWND, Thunk*>> entries = *map_;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (!it->second) continue;
        if (it->second->Active())
            ssc_UnSubclass(it->first);
        else
            it->second->LetGo();
    }
    map_.reset();
}

void CSubclass::ssc_UnSubclass(HWND hWnd) {
    Thunk* thunk = zMap_VFunction(hWnd, true);
    if (!thunk) return;
    thunk->Unsubclass();
    Forget(thunk);
}

LRESULT CSubclass::ssc_CallOrigWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    Thunk* thunk = zMap_VFunction(hWnd);
    return thunk ? thunk->CallPrevious(hWnd, uMsg, wParam, lParam) : 0;
}

void CSubclass::ssc_AddMsg(HWND hWnd, UINT uMsg, int When) {
    Thunk* thunk = zMap_VFunction(hWnd);
    if (!thunk) return;
    for (MessageTable* table : {When & MSG_BEFORE ? &thunk->before : nullptr,
                                When & MSG_AFTER ? &thunk->after : nullptr}) {
        if (table && table->Add(uMsg) == MessageTable::AddResult::Overflow)
            Fail(L"zAddMsg",
                 L"Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
                 L"ALL_MESSAGES instead of specific message values");
    }
}

void CSubclass::ssc_DelMsg(HWND hWnd, int When, std::initializer_list<UINT> messages) {
    Thunk* thunk = zMap_VFunction(hWnd);
    if (!thunk) return;
    for (UINT message : messages) {
        if (When & MSG_BEFORE) thunk->before.Delete(message);
        if (When & MSG_AFTER) thunk->after.Delete(message);
    }
}

void CSubclass::zSet_lParamUser(HWND hWnd, LPARAM value) {
    if (Thunk* thunk = zMap_VFunction(hWnd)) thunk->lParamUser_ = value;
}

LPARAM CSubclass::zGet_lParamUser(HWND hWnd) {
    Thunk* thunk = zMap_VFunction(hWnd);
    return thunk ? thunk->lParamUser_ : 0;
}

CSubclass::Thunk* CSubclass::zMap_VFunction(HWND hWnd, bool bSilent) {
    constexpr std::wstring_view routine = L"zMap_VFunction";
    if (!map_) {
        Fail(routine, L"Thunk hasn't been initialized");
        return nullptr;
    }
    if (map_->empty()) return nullptr;
    for (const auto& [window, thunk] : *map_) {
        // A window that has gone counts as absent, silently.
        if (window == hWnd) return thunk && thunk->Active() ? thunk : nullptr;
    }
    if (!bSilent) Fail(routine, std::wstring(L"Thunk type for ") + L" does not exist");
    return nullptr;
}

void CSubclass::Forget(const Thunk* thunk) {
    if (map_) std::erase_if(*map_, [thunk](const auto& entry) { return entry.second == thunk; });
}

void CSubclass::Ended(const Thunk* thunk) {
    if (!map_) return;
    for (auto& entry : *map_) {
        if (entry.second == thunk) entry.second = nullptr;
    }
}

} // namespace tessaly::win
