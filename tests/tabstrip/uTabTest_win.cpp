#include <windows.h>

#include "base/Error.h"
#include "support/TestWindows_win.h"
#include "base/Form_win.h"
#include "resources/ResourceIds.h"
#include "tabs/ITabForm.h"
#include "tabs/TabErrors.h"
#include "tabstrip/uTab_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;

namespace {

struct PageLog {
    int refreshed = 0;
    int unloaded = 0;
};

// A page with a real top-level window, as the web page form has.
class TestPage : public ITabForm {
public:
    explicit TestPage(PageLog& log, DWORD style = WS_OVERLAPPEDWINDOW)
        : log_(log)
        , window_(CreateWindowExW(0, L"STATIC", L"page", style, 0, 0, 300, 200, nullptr, nullptr,
                                  nullptr, nullptr)) {}
    WindowHandle hWnd() override { return ToHandle(window_.get()); }
    void Initialize(IuTab*, CTabItem*) override {}
    void RefreshPage() override { ++log_.refreshed; }
    void Unload() override {
        if (!window_) return;
        ++log_.unloaded;
        window_.reset();
    }

private:
    PageLog& log_;
    UniqueWindow window_;
};

// A 32-bit top-down DIB to draw into and read back.
class Image {
public:
    Image(int width, int height)
        : width_(width)
        , dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<const std::uint32_t*>(bits);
        selection_ = Selection(dc_.get(), bitmap_.get());
    }
    HDC dc() const { return dc_.get(); }
    COLORREF Pixel(int x, int y) const {
        GdiFlush();
        const std::uint32_t v = bits_[y * width_ + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

private:
    int width_;
    UniqueDC dc_;
    UniqueBitmap bitmap_;
    Selection selection_;
    const std::uint32_t* bits_ = nullptr;
};

Image Skin(int id, int width, int height) {
    Image image(width, height);
    UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    UniqueDC source(CreateCompatibleDC(nullptr));
    Selection selected(source.get(), bitmap.get());
    BitBlt(image.dc(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
    return image;
}

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

class Strip : public ::testing::Test {
protected:
    // Creates the strip as the main window does, in a given style.
    void Build(int style, int leftSize, int width = 700, bool unlock = true) {
        host.Load();
        container.reset(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                        0, 40, 600, 300, host.hwnd(), nullptr, nullptr, nullptr));
        strip.Create(host.hwnd(), 0, 0, width * 15, 25 * 15);
        PropertyBag bag;
        bag.Write(L"TabStyle", std::int64_t{style});
        bag.Write(L"TabLeftSize", std::int64_t{leftSize});
        strip.ReadProperties(bag);
        strip.SethContainerWnd(container.get());
        if (unlock) strip.LockReDraw(false);
        ConnectEvents();
    }
    CTabItems& Tabs() { return strip.TabItems(); }
    void AddTab(const std::wstring& caption) {
        logs.push_back(std::make_unique<PageLog>());
        Tabs().Add(caption, std::make_unique<TestPage>(*logs.back()),
                   L"k" + std::to_wstring(logs.size()));
    }
    HWND PageWindow(int index) { return ToHwnd(Tabs().Item(index)->Form()->hWnd()); }
    void Send(UINT message, WPARAM wParam, int x, int y) {
        SendMessageW(strip.hwnd(), message, wParam, At(x, y));
    }
    void ConnectEvents() {
        strip.TabChanged.Connect([this] { events.push_back("TabChanged"); });
        const auto note = [this](const char* name) {
            return [this, name](std::int32_t index, std::int16_t&, std::int16_t&, float&, float&) {
                events.push_back(std::string(name) + " " + std::to_string(index));
            };
        };
        strip.OnDblClick.Connect(note("DblClick"));
        strip.OnMouseDown.Connect(note("Down"));
        strip.OnMouseHover.Connect(note("Hover"));
        strip.OnMouseMove.Connect(note("Move"));
        strip.OnMouseUp.Connect(note("Up"));
        strip.OnMouseLeave.Connect([this] { events.push_back("Leave"); });
        strip.OnItemColose.Connect([this](std::int32_t index, bool& cancel) {
            events.push_back("ItemColose " + std::to_string(index));
            cancel = vetoClose;
        });
    }
    COLORREF StripPixel(int x, int y) {
        Image shot(1000, 32);
        strip.render(shot.dc());
        return shot.Pixel(x, y);
    }

    test::HostForm host{900, 500};
    UniqueWindow container;
    std::vector<std::unique_ptr<PageLog>> logs;
    uTab strip;
    std::vector<std::string> events;
    bool vetoClose = false;
};

using Events = std::vector<std::string>;

} // namespace

TEST_F(Strip, PropertiesPersistAndTheStyleSetsTheHeight) {
    Build(1, 10);
    RECT r{};
    GetWindowRect(strip.hwnd(), &r);
    EXPECT_EQ(r.bottom - r.top, 32);
    EXPECT_EQ(r.right - r.left, 700);
    PropertyBag saved;
    strip.WriteProperties(saved);
    EXPECT_EQ(saved.ReadInt(L"TabStyle", -1), 1);
    EXPECT_EQ(saved.ReadInt(L"TabLeftSize", -1), 10);
    EXPECT_EQ(saved.ReadInt(L"TabRightSize", -1), 0); // written even at its default

    uTab plain;
    plain.Create(host.hwnd(), 0, 0, 300 * 15, 40 * 15);
    plain.ReadProperties(PropertyBag());
    GetWindowRect(plain.hwnd(), &r);
    EXPECT_EQ(r.bottom - r.top, 25);
    EXPECT_EQ(plain.TabLeftSize(), 40);
    // Its messages come through the subclasser: no background erase.
    EXPECT_EQ(SendMessageW(plain.hwnd(), WM_ERASEBKGND, 0, 0), 0);
}

TEST_F(Strip, PagesAreAdoptedHiddenAndTheSelectedOneFillsTheContainer) {
    Build(1, 10);
    AddTab(L"one");
    const HWND first = PageWindow(0);
    EXPECT_EQ(GetParent(first), container.get());
    const LONG_PTR style = GetWindowLongPtrW(first, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_THICKFRAME);
    // The first tab is selected by the strip, but its page is not shown yet.
    EXPECT_EQ(strip.Selected(), 0);
    EXPECT_FALSE(GetWindowLongPtrW(first, GWL_STYLE) & WS_VISIBLE);
    AddTab(L"two"); // adopting a page shows the selected one
    const HWND second = PageWindow(1);
    EXPECT_TRUE(GetWindowLongPtrW(first, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongPtrW(second, GWL_STYLE) & WS_VISIBLE);

    Tabs().SetSelected(1);
    EXPECT_TRUE(GetWindowLongPtrW(second, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(GetWindow(container.get(), GW_CHILD), second); // on top
    RECT r{};
    GetWindowRect(second, &r);
    EXPECT_EQ(r.right - r.left, 600);
    EXPECT_EQ(r.bottom - r.top, 300);

    SetWindowPos(container.get(), nullptr, 0, 0, 500, 250, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(second, &r);
    EXPECT_EQ(r.right - r.left, 500);
    EXPECT_EQ(r.bottom - r.top, 250);

    Tabs().SetSelected(5); // ignored
    EXPECT_EQ(strip.Selected(), 1);
    Tabs().SetSelected(-4);
    EXPECT_EQ(strip.Selected(), -1);
    EXPECT_THROW(strip.RefreshPage(), tessaly::Error);
    Tabs().SetSelected(0);
    strip.RefreshPage();
    EXPECT_EQ(logs[0]->refreshed, 1);
}

// Whether a page's style ever changed while it was already inside the container.
struct StyleWatch {
    static inline WNDPROC previous = nullptr;
    static inline HWND container = nullptr;
    static inline bool childOfContainerFirst = false;
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_STYLECHANGED && GetAncestor(hwnd, GA_PARENT) == container)
            childOfContainerFirst = true;
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
};

TEST_F(Strip, APageBecomesAChildBeforeItIsReparented) {
    Build(1, 10);
    logs.push_back(std::make_unique<PageLog>());
    auto page = std::make_unique<TestPage>(*logs.back(), WS_POPUP | WS_CAPTION);
    const HWND window = ToHwnd(page->hWnd());
    StyleWatch::container = container.get();
    StyleWatch::previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StyleWatch::Procedure)));
    Tabs().Add(L"one", std::move(page), L"k1");
    EXPECT_EQ(GetParent(window), container.get());
    EXPECT_FALSE(StyleWatch::childOfContainerFirst);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & (WS_POPUP | WS_CAPTION));
}

TEST_F(Strip, LockedRedrawLeavesWidthsAloneUntilUnlocked) {
    Build(0, 40, 700, false);
    for (int i = 0; i < 12; ++i)
        AddTab(L"t" + std::to_wstring(i));
    EXPECT_EQ(Tabs().Item(3)->Width(), 0);
    strip.LockReDraw(false);
    EXPECT_EQ(strip.TabWidth(), 54);
    EXPECT_EQ(Tabs().Item(3)->Left(), 14 + 3 * 54);
    strip.LockReDraw(true);
    AddTab(L"more");
    EXPECT_EQ(Tabs().Item(12)->Width(), 0);
}

TEST_F(Strip, PressesSelectTabsAndRaiseTheEventsInOrder) {
    Build(1, 10);
    AddTab(L"a");
    AddTab(L"b");
    AddTab(L"c"); // width 200: tabs at 10, 215 and 420 of the strip
    Send(WM_MOUSEMOVE, 0, 300, 15);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 300, 15);
    Send(WM_MOUSEMOVE, MK_LBUTTON, 310, 15);
    Send(WM_LBUTTONUP, 0, 310, 15);
    EXPECT_EQ(events, (Events{"Hover 1", "Move 1", "TabChanged", "Down 1", "Move 0", "Up 1"}));
    EXPECT_EQ(strip.Selected(), 1);
    EXPECT_TRUE(GetWindowLongPtrW(PageWindow(1), GWL_STYLE) & WS_VISIBLE);

    events.clear();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 320, 15); // the selected tab again
    Send(WM_LBUTTONUP, 0, 320, 15);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, 500, 15);
    Send(WM_RBUTTONUP, 0, 500, 15);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 15); // the reserved left margin
    Send(WM_LBUTTONUP, 0, 5, 15);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 500, 28); // below the hit-test height
    Send(WM_LBUTTONUP, 0, 500, 28);
    EXPECT_EQ(events, (Events{"TabChanged", "Down 1", "Up 1", "Down 0", "Up 0", "Down -2", "Up -2",
                              "Down -3", "Up -3"}));
    EXPECT_EQ(strip.Selected(), 1);

    // A double click replays the press it follows.
    events.clear();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 100, 15);
    Send(WM_LBUTTONUP, 0, 100, 15);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 100, 15);
    Send(WM_LBUTTONUP, 0, 100, 15);
    EXPECT_EQ(events, (Events{"TabChanged", "Down 0", "Up 0", "TabChanged", "Down 0", "DblClick 0",
                              "Up 0"}));
    EXPECT_EQ(strip.Selected(), 0);
}

TEST_F(Strip, TheCloseGlyphClosesOnlyWhenPressedAndReleasedOnTheSameTab) {
    Build(1, 10);
    AddTab(L"a");
    AddTab(L"b");
    AddTab(L"c");
    // Tab 1 spans 215..415; its glyph 395..407, y 7..19. Tab 2's glyph 600..612.
    Send(WM_MOUSEMOVE, 0, 400, 12);
    EXPECT_EQ(strip.HoverIndex(), 1);
    EXPECT_EQ(strip.CloseState(), kCloseOver);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 400, 12);
    EXPECT_EQ(strip.CloseState(), kClosePressed);
    EXPECT_EQ(strip.Selected(), 0); // a press on a glyph does not select
    // Released over tab 2's glyph: the hover index is still tab 1, nothing closes.
    Send(WM_MOUSEMOVE, MK_LBUTTON, 605, 12);
    Send(WM_LBUTTONUP, 0, 605, 12);
    EXPECT_EQ(Tabs().Count(), 3);
    EXPECT_EQ(strip.CloseState(), kCloseNormal);

    vetoClose = true;
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 400, 12);
    Send(WM_LBUTTONUP, 0, 400, 12);
    EXPECT_EQ(Tabs().Count(), 3);

    vetoClose = false;
    Tabs().SetSelected(2);
    events.clear();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 400, 12);
    Send(WM_LBUTTONUP, 0, 400, 12);
    EXPECT_EQ(events, (Events{"TabChanged", "Down 1", "ItemColose 1", "Up 1"}));
    EXPECT_EQ(Tabs().Count(), 2);
    EXPECT_EQ(logs[1]->unloaded, 1);
    EXPECT_EQ(Tabs().Item(1)->Caption(), L"c");
    EXPECT_EQ(strip.Selected(), 1); // the selection moved down with its tab

    // A tab without a close glyph is selected by a press on that spot.
    Tabs().Item(1)->SetHideButton(true);
    Send(WM_MOUSEMOVE, 0, 400, 12);
    EXPECT_EQ(strip.CloseState(), kCloseNormal);
    Tabs().SetSelected(0);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 400, 12);
    Send(WM_LBUTTONUP, 0, 400, 12);
    EXPECT_EQ(Tabs().Count(), 2);
    EXPECT_EQ(strip.Selected(), 1);
}

TEST_F(Strip, OnePressClosesOneTabAndTheSelectedPageTakesTheFocus) {
    Build(1, 10);
    host.Show();
    SetActiveWindow(host.hwnd());
    for (const wchar_t* caption : {L"a", L"b", L"c"})
        AddTab(caption);
    Tabs().SetSelected(2);
    EXPECT_EQ(GetFocus(), PageWindow(2));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 300, 15); // a press on tab 1
    Send(WM_LBUTTONUP, 0, 300, 15);
    EXPECT_EQ(GetFocus(), PageWindow(1));
    // A double click on tab 1's glyph (395..407): tab c moves in under the
    // pointer, and stays; the new selection takes the focus of the closed page.
    Send(WM_MOUSEMOVE, 0, 400, 12);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 400, 12);
    Send(WM_LBUTTONUP, 0, 400, 12);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 400, 12);
    Send(WM_LBUTTONUP, 0, 400, 12);
    ASSERT_EQ(Tabs().Count(), 2);
    EXPECT_EQ(Tabs().Item(1)->Caption(), L"c");
    EXPECT_EQ(GetFocus(), PageWindow(strip.Selected()));
}

TEST_F(Strip, LeavingClearsTheHoverButNotTheCloseState) {
    Build(0, 40);
    AddTab(L"a");
    Send(WM_MOUSEMOVE, 0, 40 + 14 + 108 - 20, 10); // over the glyph
    EXPECT_EQ(strip.CloseState(), kCloseOver);
    events.clear();
    SendMessageW(strip.hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(strip.HoverIndex(), kNoTab);
    EXPECT_EQ(strip.CloseState(), kCloseOver);
    EXPECT_EQ(events, Events{"Leave"});
}

TEST_F(Strip, TheSelectedFaceLiesOverBothNeighbours) {
    Build(0, 40);
    AddTab(L"");
    AddTab(L"");
    AddTab(L""); // width 108 + 14 = the skin's face: drawn unscaled at 0, 108, 216
    const Image skin = Skin(IDB_TABS_STYLE0, 415, 25);
    const int row = 23;
    Tabs().SetSelected(1);
    // Where tab 1's slanted edges overlap tab 0 and tab 2, tab 1 is on top.
    EXPECT_EQ(StripPixel(40 + 115, row), skin.Pixel(245 + 7, row));
    EXPECT_EQ(StripPixel(40 + 223, row), skin.Pixel(245 + 115, row));
    // Among unselected tabs the lower index is on top.
    Tabs().SetSelected(2);
    EXPECT_EQ(StripPixel(40 + 115, row), skin.Pixel(1 + 115, row));
    EXPECT_EQ(StripPixel(40 + 223, row), skin.Pixel(245 + 7, row));
    // The margin shows the stretched background column.
    EXPECT_EQ(StripPixel(20, 12), skin.Pixel(0, 12));
}

TEST_F(Strip, TheHoveredGlyphShowsOnlyOnTheHoveredTab) {
    Build(1, 10);
    AddTab(L"");
    AddTab(L"");
    AddTab(L""); // glyphs at 10 + 180, 10 + 385, 10 + 590, y 7
    Tabs().SetSelected(0);
    const Image skin = Skin(IDB_TABS_STYLE1, 421, 28);
    const int glyphs[] = {190, 395, 600};
    const auto glyphPixel = [&](int tab, int dx, int dy) {
        return StripPixel(glyphs[tab] + dx, 7 + dy);
    };
    const COLORREF disc = skin.Pixel(397 + 1, 6);

    Send(WM_MOUSEMOVE, 0, 400, 12); // over tab 1's glyph
    EXPECT_EQ(glyphPixel(1, 1, 6), disc);
    EXPECT_NE(glyphPixel(0, 1, 6), disc);
    EXPECT_NE(glyphPixel(2, 1, 6), disc);
    EXPECT_EQ(glyphPixel(0, 2, 2), skin.Pixel(373 + 2, 2)); // the selected tab's darker cross
    EXPECT_EQ(glyphPixel(2, 2, 2), skin.Pixel(385 + 2, 2));

    Send(WM_MOUSEMOVE, 0, 300, 12); // on tab 1, off its glyph
    EXPECT_NE(glyphPixel(1, 1, 6), disc);
    EXPECT_EQ(glyphPixel(1, 2, 2), skin.Pixel(385 + 2, 2));

    Send(WM_MOUSEMOVE, 0, 195, 12); // the selected tab's own glyph
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 195, 12);
    EXPECT_EQ(glyphPixel(0, 1, 6), skin.Pixel(409 + 1, 6));
    EXPECT_NE(glyphPixel(1, 1, 6), skin.Pixel(409 + 1, 6));
}

TEST_F(Strip, ALongCaptionIsCutLeftAlignedAndAShortOneCentred) {
    Build(1, 10);
    AddTab(L"");
    AddTab(std::wstring(60, L'W'));
    AddTab(L"W");
    // Unselected captions with a glyph: from Left + 12, 172 pixels wide.
    const auto darkColumns = [&](int from, int to) {
        Image shot(1000, 32);
        strip.render(shot.dc());
        std::vector<int> columns;
        for (int x = from; x < to; ++x) {
            for (int y = 0; y < 26; ++y) {
                const COLORREF c = shot.Pixel(x, y);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) {
                    columns.push_back(x);
                    break;
                }
            }
        }
        return columns;
    };
    const std::vector<int> cut = darkColumns(10 + 205, 10 + 405);
    ASSERT_FALSE(cut.empty());
    EXPECT_LE(cut.front(), 10 + 205 + 12 + 2);
    EXPECT_LT(cut.back(), 10 + 205 + 12 + 172);
    const std::vector<int> whole = darkColumns(10 + 410, 10 + 610);
    ASSERT_FALSE(whole.empty());
    const int middle = 10 + 410 + 12 + 86;
    EXPECT_NEAR((whole.front() + whole.back()) / 2.0, middle, 2.0);
}

TEST_F(Strip, AHostMayPaintTheBackgroundItself) {
    Build(0, 40);
    AddTab(L"");
    const COLORREF green = RGB(0, 200, 0);
    strip.OnDrawBackground.Connect([&](HDC hdc, int cx, int cy, bool& bSkipDefault) {
        RECT all{0, 0, cx, cy};
        UniqueBrush brush(CreateSolidBrush(green));
        FillRect(hdc, &all, brush.get());
        bSkipDefault = true;
    });
    strip.refresh();
    const Image skin = Skin(IDB_TABS_STYLE0, 415, 25);
    EXPECT_EQ(StripPixel(20, 12), green);
    EXPECT_EQ(StripPixel(40 + 60, 12), skin.Pixel(245 + 60, 12)); // the tab over it
    EXPECT_EQ(StripPixel(40 + 200, 12), green);
}

TEST(StripClosing, AHandlerMayCloseTheWindowAndReleaseTheStrip) {
    for (const std::string closer : {"ItemColose", "TabChanged", "Down", "Up"}) {
        test::HostForm host{900, 500};
        host.Load();
        UniqueWindow container(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 40, 600,
                                               300, host.hwnd(), nullptr, nullptr, nullptr));
        auto strip = std::make_unique<uTab>();
        strip->Create(host.hwnd(), 0, 0, 700 * 15, 32 * 15);
        PropertyBag bag;
        bag.Write(L"TabStyle", std::int64_t{1});
        bag.Write(L"TabLeftSize", std::int64_t{10});
        strip->ReadProperties(bag);
        strip->SethContainerWnd(container.get());
        strip->LockReDraw(false);
        PageLog log;
        strip->TabItems().Add(L"a", std::make_unique<TestPage>(log), L"a");
        const HWND window = strip->hwnd();

        int unloadedInside = -1, later = 0;
        const auto close = [&] {
            host.Close();
            strip.reset();
            unloadedInside = log.unloaded;
        };
        const auto mouse = [&](const char* name) {
            return [&, name](std::int32_t, std::int16_t&, std::int16_t&, float&, float&) {
                if (closer == name) close();
            };
        };
        strip->OnItemColose.Connect([&](std::int32_t, bool&) {
            if (closer == "ItemColose") close();
        });
        strip->TabChanged.Connect([&] {
            if (closer == "TabChanged") close();
        });
        strip->OnMouseDown.Connect(mouse("Down"));
        strip->OnMouseUp.Connect(mouse("Up"));
        const auto count = [&](std::int32_t, std::int16_t&, std::int16_t&, float&, float&) {
            ++later;
        };
        strip->TabChanged.Connect([&] { ++later; });
        strip->OnMouseDown.Connect(count);
        strip->OnMouseUp.Connect(count);

        // Tab 0's close glyph: x 190..202, y 7..19.
        SendMessageW(window, WM_MOUSEMOVE, 0, At(195, 12));
        // TabChanged and Down count on the press, Up after the removal.
        const int expected = closer == "TabChanged" ? 0 : closer == "Down" ? 1 : 2;
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(195, 12));
        if (strip) SendMessageW(window, WM_LBUTTONUP, 0, At(195, 12));
        EXPECT_FALSE(strip) << closer;
        EXPECT_FALSE(IsWindow(window)) << closer;
        EXPECT_EQ(later, expected) << closer; // nothing is raised by a strip that has gone
        EXPECT_EQ(log.unloaded, 1) << closer;
        // The collection that asked stays until its call has returned.
        if (closer == "ItemColose") {
            EXPECT_EQ(unloadedInside, 0);
        }
    }
}
