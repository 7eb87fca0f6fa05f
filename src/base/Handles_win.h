#pragma once
// Move-only owners of the Win32 handles the program holds.

#include <windows.h>

#include "base/UniqueResource.h"

#include <utility>

namespace tessaly::win {

// Kernel handles: some APIs fail with NULL, CreateFile with INVALID_HANDLE_VALUE.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Release(Type h) { CloseHandle(h); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

// FindFirstFile's searches.
struct FindTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) { return h != INVALID_HANDLE_VALUE; }
    static void Release(Type h) { FindClose(h); }
};
using UniqueFind = UniqueResource<FindTraits>;

template <class T, BOOL(WINAPI* Free)(T)> struct NullableTraits {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Release(Type h) { Free(h); }
};

template <class T> struct GdiObjectTraits {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Release(Type h) { DeleteObject(h); }
};

using UniqueBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;
using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueResource<GdiObjectTraits<HBRUSH>>;
using UniqueRegion = UniqueResource<GdiObjectTraits<HRGN>>;
using UniqueDC = UniqueResource<NullableTraits<HDC, DeleteDC>>;
using UniqueIcon = UniqueResource<NullableTraits<HICON, DestroyIcon>>;
using UniqueModule = UniqueResource<NullableTraits<HMODULE, FreeLibrary>>;
using UniqueWindow = UniqueResource<NullableTraits<HWND, DestroyWindow>>;
using UniqueMenu = UniqueResource<NullableTraits<HMENU, DestroyMenu>>;

struct GlobalTraits {
    using Type = HGLOBAL;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Release(Type h) { GlobalFree(h); }
};
using UniqueGlobal = UniqueResource<GlobalTraits>;

struct RegKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Release(Type h) { RegCloseKey(h); }
};
using UniqueRegKey = UniqueResource<RegKeyTraits>;

// A window's DC from GetDC, given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window)
        : window_(window)
        , dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and selects the previous one back on
// destruction, so nothing is deleted while it is still selected.
class Selection {
public:
    Selection() = default;
    Selection(HDC dc, HGDIOBJ object)
        : dc_(dc)
        , previous_(SelectObject(dc, object)) {}
    ~Selection() { Restore(); }
    Selection(Selection&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr))
        , previous_(std::exchange(other.previous_, nullptr)) {}
    Selection& operator=(Selection&& other) noexcept {
        if (this != &other) {
            Restore();
            dc_ = std::exchange(other.dc_, nullptr);
            previous_ = std::exchange(other.previous_, nullptr);
        }
        return *this;
    }
    void Restore() {
        if (dc_ && previous_) SelectObject(dc_, previous_);
        dc_ = nullptr;
        previous_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

} // namespace tessaly::win
