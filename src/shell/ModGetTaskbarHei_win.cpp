#include <windows.h>

#include "shell/ModGetTaskbarHei_win.h"

#include "base/Handles_win.h"
#include "shell/ModGetTaskbarHei.h"

namespace tessaly::win {
namespace {

double TwipsPerPixel(int caps) {
    const WindowDC screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), caps) : 96;
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

} // namespace

double ScreenTwipsPerPixelY() {
    return TwipsPerPixel(LOGPIXELSY);
}
double ScreenTwipsPerPixelX() {
    return TwipsPerPixel(LOGPIXELSX);
}

std::int16_t GetTaskbarHeight() {
    // If the call fails the rectangle stays zero and the whole screen counts
    // as below the work area, as before.
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const double twipsPerPixel = ScreenTwipsPerPixelY();
    return TaskbarHeightTwips(GetSystemMetrics(SM_CYSCREEN) * twipsPerPixel, twipsPerPixel,
                              workArea.bottom);
}

} // namespace tessaly::win
