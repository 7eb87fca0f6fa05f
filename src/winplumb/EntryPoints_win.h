#pragma once
// Window procedures that reach their own record without any lookup: a fixed
// set of entry points, each bound to one slot. A hook that replaces a
// window's procedure takes a free entry, installs it with SetWindowLongPtr
// and keeps what it replaced; each hook on a window has an entry of its own,
// so hooks of the same kind chain on one window like any other procedures.
// No code is generated at run time and the per-message path allocates
// nothing: the entry calls its record's procedure directly.

#include <windows.h>

#include <cstddef>

namespace tessaly::win {

// What an entry point calls for every message of its window.
class EntryRecord {
public:
    virtual ~EntryRecord() = default;
    virtual LRESULT Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

class EntryPoints {
public:
    static constexpr std::size_t kCount = 64;

    // A free entry bound to the record, or null when all are taken.
    static WNDPROC Acquire(EntryRecord* record);
    // Unbinds the entry. Call it only when the entry is no longer installed
    // and none of its calls is still running.
    static void Release(WNDPROC entry);
    static std::size_t InUse();
};

} // namespace tessaly::win
