#pragma once
// What the window tests share: message pumping, and a plain host window of a
// given size and colour.

#include <windows.h>

#include "base/Form_win.h"

namespace tessaly::test {

inline void Pump(DWORD milliseconds = 0) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (milliseconds) Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

// Pumps until `done` holds or the time is up, so a busy machine only makes a
// test slower; returns whether it held.
template <class Condition> bool PumpUntil(Condition done, DWORD timeoutMs = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Pump();
        Sleep(5);
    }
    return true;
}

// A plain top-level window whose background is one colour: what shows
// through a transparent control, and what hosts a control under test.
class HostForm : public win::Form {
public:
    explicit HostForm(int widthPixels = 400, int heightPixels = 300,
                      COLORREF background = RGB(0, 160, 0))
        : Form(Design(widthPixels, heightPixels, background)) {}
    ~HostForm() override { Destroy(); }

private:
    static win::FormDesign Design(int width, int height, COLORREF background) {
        win::FormDesign design;
        design.className = L"TessalyTestHost";
        design.clientWidthTwips = width * 15;
        design.clientHeightTwips = height * 15;
        design.background = background;
        return design;
    }
};

} // namespace tessaly::test
