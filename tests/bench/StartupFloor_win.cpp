// The least a program can do to put the splash on the screen: a 356 x 122
// per-pixel-alpha layered window, centred, with nothing decoded, downloaded
// or loaded first. startup_bench measures the client against it; it stays
// until it is closed (or ten seconds have passed).

#include <windows.h>

#include "base/Handles_win.h"

#include <cstdint>

namespace {

constexpr int kWidth = 356, kHeight = 122;

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY || (message == WM_TIMER && wParam == 1)) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = FloorProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TessalyStartupFloor";
    RegisterClassW(&windowClass);
    // Destroyed by the system when the process ends, like any top-level window.
    const HWND window = CreateWindowExW(WS_EX_LAYERED, windowClass.lpszClassName, L"floor",
                                        WS_POPUP, (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2,
                                        (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2, kWidth,
                                        kHeight, nullptr, nullptr, instance, nullptr);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const tessaly::win::WindowDC screen(nullptr);
    const tessaly::win::UniqueDC memory(CreateCompatibleDC(screen.get()));
    const tessaly::win::UniqueBitmap bitmap(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bits) return 1;
    const tessaly::win::Selection selection(memory.get(), bitmap.get());
    // Premultiplied: a fade from clear on the left to opaque on the right.
    auto* pixel = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t a = static_cast<std::uint32_t>(x * 255 / (kWidth - 1));
            const std::uint32_t c = a * 0x80 / 255;
            *pixel++ = a << 24 | c << 16 | c << 8 | c;
        }
    }
    POINT source{0, 0};
    SIZE size{kWidth, kHeight};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window, screen.get(), nullptr, &size, memory.get(), &source, 0, &blend,
                        ULW_ALPHA);
    ShowWindow(window, SW_SHOW);
    SetTimer(window, 1, 10000, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
