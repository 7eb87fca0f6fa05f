#include "base/Form_win.h"

#include "base/Handles_win.h"
#include "base/MessageFilter_win.h"
#include "base/Units.h"

#include <utility>

namespace tessaly::win {
namespace {

int g_loadedForms = 0;

} // namespace

Form::Form(FormDesign design)
    : design_(std::move(design)) {}

Form::~Form() {
    // Unload while the derived object's handlers still exist is the owner's
    // job; what is left here is only the window itself.
    Destroy();
}

int Form::LoadedFormCount() {
    return g_loadedForms;
}

void Form::Prepare() {
    if (IsCreated()) return;
    RECT rect{0, 0, TwipsToPixels(design_.clientWidthTwips),
              TwipsToPixels(design_.clientHeightTwips)};
    AdjustWindowRectEx(&rect, design_.style, FALSE, design_.exStyle);
    static_cast<void>(Create({design_.className, CS_DBLCLKS, nullptr}, design_.exStyle,
                             design_.style & ~WS_VISIBLE, design_.caption.c_str(), CW_USEDEFAULT,
                             CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top,
                             nullptr));
    preparedOnly_ = IsCreated();
}

void Form::Load() {
    if (IsLoaded()) return;
    Prepare();
    preparedOnly_ = false;
    if (!IsLoaded()) return;
    ++g_loadedForms;
    counted_ = true;
    OnLoad();
}

void Form::Show() {
    Load();
    if (!IsLoaded()) return;
    if (!shownOnce_) {
        shownOnce_ = true;
        if (design_.centred) Centre();
    }
    ShowWindow(hwnd(), SW_SHOW);
    OnShow();
}

void Form::Centre() {
    RECT rect{};
    GetWindowRect(hwnd(), &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    SetWindowPos(hwnd(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Hide() {
    if (IsLoaded()) ShowWindow(hwnd(), SW_HIDE);
}

bool Form::IsVisible() const {
    return IsLoaded() && IsWindowVisible(hwnd());
}

bool Form::Close() {
    if (!IsLoaded()) return true;
    SendMessageW(hwnd(), WM_CLOSE, 0, 0);
    return !IsLoaded();
}

void Form::SetCaption(const std::wstring& caption) {
    design_.caption = caption;
    if (IsLoaded()) SetWindowTextW(hwnd(), caption.c_str());
}

void Form::ShowModal(HWND owner) {
    Load();
    if (!IsLoaded()) return;
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (owner) SetWindowLongPtrW(hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    Show();
    if (ownerWasEnabled) {
        EnableWindow(owner, FALSE);
        modalOwner_ = owner;
    }
    MSG msg;
    bool quit = false;
    // A handler inside the loop may destroy this form's object as well.
    const Lifetime::Watch alive(lifetime());
    while (alive.Alive() && IsLoaded()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            break;
        }
        if (PreTranslate(msg)) continue;
        if (!alive.Alive() || !IsDialogMessageW(hwnd(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // Unloading gave the owner its input back; a window destroyed some other
    // way still must.
    if (!alive.Alive()) {
        if (ownerWasEnabled) EnableWindow(owner, TRUE);
    } else if (modalOwner_) {
        EnableWindow(std::exchange(modalOwner_, nullptr), TRUE);
    }
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
}

int Form::RunMessageLoop() {
    MSG msg;
    while (g_loadedForms > 0) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got < 0) return 1;
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE: {
        // A close request that arrives while the form is already asking (the
        // taskbar's Close while the exit question is open) is that same
        // request: it does not ask a second time.
        if (unloading_ || querying_) return 0;
        // The question may run a modal loop, and the unload may release the
        // object itself: nothing of it is touched once it has gone.
        const Lifetime::Watch alive(lifetime());
        bool cancel = false;
        {
            // Reset however the question ends, an exception included.
            struct Asking {
                Form& form;
                const Lifetime::Watch& alive;
                ~Asking() {
                    if (alive.Alive()) form.querying_ = false;
                }
            } asking{*this, alive};
            querying_ = true;
            OnQueryUnload(cancel);
        }
        if (!alive.Alive() || cancel) return 0;
        unloading_ = true;
        OnUnload();
        if (!alive.Alive()) return 0;
        // The owner takes input again before this window goes, so activation
        // returns to it and not to another program.
        if (modalOwner_) EnableWindow(std::exchange(modalOwner_, nullptr), TRUE);
        Destroy();
        return 0;
    }
    case WM_SIZE:
        OnResize();
        return 0;
    case WM_PAINT:
        return PaintMessage();
    case WM_ERASEBKGND: {
        RECT rect;
        GetClientRect(hwnd(), &rect);
        UniqueBrush brush(CreateSolidBrush(design_.background));
        FillRect(reinterpret_cast<HDC>(wParam), &rect, brush.get());
        return 1;
    }
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

void Form::OnDestroyed() {
    shownOnce_ = false;
    preparedOnly_ = false;
    unloading_ = false;
    if (counted_) {
        counted_ = false;
        // The loop ends once no form is loaded after a message has been handled,
        // so a handler may close the last form and load the next one (the
        // login window handing over to the main window). The posted message
        // only wakes the loop.
        if (--g_loadedForms == 0) PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    }
}

} // namespace tessaly::win
