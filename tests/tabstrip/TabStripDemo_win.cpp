// A window with a style-1 tab strip and a few pages, to look at and play
// with by hand (not a test): the tabs follow the pointer, their close glyphs
// close them (all but the last), and the selected page fills the area below.
//
//   tools/wine-run.sh build/mingw/tests/tabstrip/tabstrip_demo.exe

#include <windows.h>

#include "base/Form_win.h"
#include "tabs/ITabForm.h"
#include "tabstrip/uTab_win.h"

#include <memory>
#include <string>

using namespace tessaly;
using namespace tessaly::win;

namespace {

// A page that shows its colour and its name.
class DemoPage : public ITabForm {
public:
    DemoPage(std::wstring name, COLORREF colour)
        : name_(std::move(name))
        , brush_(CreateSolidBrush(colour)) {
        static const bool registered = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &DemoPage::Procedure;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.lpszClassName = L"TessalyDemoPage";
            return RegisterClassW(&wc) != 0;
        }();
        static_cast<void>(registered);
        window_.reset(CreateWindowExW(0, L"TessalyDemoPage", name_.c_str(), WS_OVERLAPPEDWINDOW, 0,
                                      0, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr),
                                      this));
    }
    WindowHandle hWnd() override { return ToHandle(window_.get()); }
    void Initialize(IuTab*, CTabItem*) override {}
    void RefreshPage() override { InvalidateRect(window_.get(), nullptr, TRUE); }
    void Unload() override { window_.reset(); }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<DemoPage*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_PAINT && self) {
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(hwnd, &ps);
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(dc, &client, self->brush_.get());
            SetBkMode(dc, TRANSPARENT);
            DrawTextW(dc, self->name_.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            EndPaint(hwnd, &ps);
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    std::wstring name_;
    UniqueBrush brush_;
    UniqueWindow window_;
};

class DemoFrm : public Form {
public:
    DemoFrm()
        : Form(Design()) {}
    ~DemoFrm() override { Destroy(); }

protected:
    static FormDesign Design() {
        FormDesign d;
        d.className = L"TessalyTabDemo";
        d.caption = L"Tessaly tab strip";
        d.clientWidthTwips = 900 * 15;
        d.clientHeightTwips = 500 * 15;
        d.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        d.background = RGB(36, 79, 166);
        return d;
    }
    void OnLoad() override {
        container_.reset(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                         0, 32, 900, 468, hwnd(), nullptr, nullptr, nullptr));
        strip_.Create(hwnd(), 0, 0, 900 * 15, 32 * 15);
        PropertyBag design;
        design.Write(L"TabStyle", std::int64_t{1});
        design.Write(L"TabLeftSize", std::int64_t{10});
        design.Write(L"TabRightSize", std::int64_t{0});
        strip_.ReadProperties(design);
        strip_.SethContainerWnd(container_.get());
        strip_.LockReDraw(false);
        strip_.OnItemColose.Connect(
            [this](std::int32_t, bool& cancel) { cancel = strip_.TabItems().Count() == 1; });
        const struct {
            const wchar_t* caption;
            COLORREF colour;
        } pages[] = {{L"Tessaly", RGB(250, 240, 220)},
                     {L"游戏大厅", RGB(220, 240, 250)},
                     {L"A page whose title is far too long for its tab", RGB(230, 250, 220)},
                     {L"Forum", RGB(250, 225, 235)}};
        int n = 0;
        for (const auto& page : pages) {
            strip_.TabItems().Add(page.caption,
                                  std::make_unique<DemoPage>(page.caption, page.colour),
                                  L"page" + std::to_wstring(++n));
            strip_.TabItems().SetSelected(strip_.TabItems().Count() - 1);
        }
        strip_.TabItems().SetSelected(0);
    }
    void OnResize() override {
        RECT client;
        GetClientRect(hwnd(), &client);
        if (!strip_.IsCreated()) return;
        SetWindowPos(strip_.hwnd(), nullptr, 0, 0, client.right, 32, SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(container_.get(), nullptr, 0, 32, client.right, client.bottom - 32,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void OnUnload() override { strip_.TabItems().Clear(); }

private:
    UniqueWindow container_;
    uTab strip_;
};

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    DemoFrm demo;
    demo.Show();
    return Form::RunMessageLoop();
}
