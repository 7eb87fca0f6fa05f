#include "updater/ProgressBar_win.h"

#include "resources/ResourceIds.h"

#include <algorithm>

namespace tessaly::win {

ProgressBar::ProgressBar()
    : Control(L"TessalyProgressBar") {}

ProgressBar::~ProgressBar() {
    Destroy();
}

void ProgressBar::OnCreate() {
    tile_.reset(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                MAKEINTRESOURCEW(IDB_UPDATER_PROGRESS),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

void ProgressBar::SetMin(std::uint64_t value) {
    min_ = value;
    Changed();
}
void ProgressBar::SetMax(std::uint64_t value) {
    max_ = value;
    Changed();
}
void ProgressBar::SetValue(std::uint64_t value) {
    value_ = value;
    Changed();
}

int ProgressBar::FilledWidth(int width) const {
    if (max_ <= min_ || value_ <= min_) return 0;
    const double share =
        std::min(1.0, static_cast<double>(value_ - min_) / static_cast<double>(max_ - min_));
    return static_cast<int>(share * width);
}

void ProgressBar::Changed() {
    if (!IsCreated()) return;
    RECT client{};
    GetClientRect(hwnd(), &client);
    // Thousands of pieces arrive per second; only a visible change repaints.
    if (FilledWidth(client.right - 2) != shown_) InvalidateRect(hwnd(), nullptr, FALSE);
}

void ProgressBar::OnPaint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    UniqueBrush trough(CreateSolidBrush(RGB(226, 232, 240)));
    FillRect(dc, &client, trough.get());
    UniqueBrush edge(CreateSolidBrush(RGB(120, 140, 170)));
    FrameRect(dc, &client, edge.get());
    shown_ = FilledWidth(client.right - 2);
    if (!tile_ || shown_ <= 0) return;
    UniqueDC source(CreateCompatibleDC(dc));
    Selection selected(source.get(), tile_.get());
    // The tile's rows stretch to the bar's height; its columns repeat.
    SetStretchBltMode(dc, COLORONCOLOR);
    for (int x = 0; x < shown_; x += 10) {
        StretchBlt(dc, 1 + x, 1, std::min(10, shown_ - x), client.bottom - 2, source.get(), 0, 0,
                   std::min(10, shown_ - x), 10, SRCCOPY);
    }
}

} // namespace tessaly::win
