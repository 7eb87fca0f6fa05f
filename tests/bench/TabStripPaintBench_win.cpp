// One full repaint of a 1,000-pixel tab strip with 20 tabs under Wine: the
// background from the skin, every tab's nine-grid face, caption and glyph,
// the composite, and the copy to the window. Also the repaint that hover
// feedback causes (the tabs only, through a mouse move). Prints milliseconds
// per repaint, best of several rounds, for both styles.

#include <windows.h>

#include "base/Form_win.h"
#include "support/TestWindows_win.h"
#include "tabs/ITabForm.h"
#include "tabstrip/uTab_win.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

using namespace tessaly;
using namespace tessaly::win;

namespace {

class Page : public ITabForm {
public:
    Page()
        : window_(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr)) {}
    WindowHandle hWnd() override { return ToHandle(window_.get()); }
    void Initialize(IuTab*, CTabItem*) override {}
    void RefreshPage() override {}
    void Unload() override { window_.reset(); }

private:
    UniqueWindow window_;
};

double BestMilliseconds(int repeats, auto&& action) {
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        for (int i = 0; i < repeats; ++i)
            action(i);
        GdiFlush();
        QueryPerformanceCounter(&end);
        best = std::min(best, 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                                  static_cast<double>(frequency.QuadPart) / repeats);
    }
    return best;
}

} // namespace

int main() {
    for (int style : {0, 1}) {
        test::HostForm host(1000, 300);
        host.Show();
        UniqueWindow container(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 40,
                                               1000, 260, host.hwnd(), nullptr, nullptr, nullptr));
        uTab strip;
        strip.Create(host.hwnd(), 0, 0, 1000 * 15, 32 * 15);
        PropertyBag design;
        design.Write(L"TabStyle", std::int64_t{style});
        design.Write(L"TabLeftSize", std::int64_t{10});
        strip.ReadProperties(design);
        strip.SethContainerWnd(container.get());
        strip.LockReDraw(false);
        for (int i = 0; i < 20; ++i)
            strip.TabItems().Add(L"Tessaly game page " + std::to_wstring(i + 1),
                                 std::make_unique<Page>());
        strip.TabItems().SetSelected(3);

        const double full = BestMilliseconds(200, [&](int) { strip.refresh(); });
        // Moves between two tabs: each one changes the hovered tab.
        const int y = 12;
        const double hover = BestMilliseconds(200, [&](int i) {
            const int x = 10 + (i % 2 ? 20 : 20 + strip.TabWidth() + 5);
            SendMessageW(strip.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        });
        std::printf(
            "style %d, 1000 px, 20 tabs (width %d): full repaint %.3f ms, hover repaint %.3f ms\n",
            style, strip.TabWidth(), full, hover);
        strip.TabItems().Clear();
    }
    return 0;
}
