#pragma once
// uTab, the owner-drawn tab strip (class identifier Kestrel.uTab). It owns the
// tab collection, draws one tab per item from the skins (bitmap 106 for style
// 0, 107 for style 1), turns the mouse into selection, close requests and
// events, and hosts each tab's page as a hidden child of a container window;
// the selected page fills the container, on top of the others.
//
// Expected order of the host: Create, ReadProperties (which also subclasses
// the strip's window and sizes it), SethContainerWnd, LockReDraw(false); then
// tabs are added and selected through TabItems().
//
// Painting is double-buffered: the background buffer holds the strip's
// background, the tab-area buffer the tabs drawn over it, the composite buffer
// both; WM_PAINT only copies the composite. Hover and press feedback repaints
// the tabs only. Nothing is computed or painted while redraw is locked, which
// it is until the host first unlocks it.
//
// Window messages reach the strip through its CSubclass: all of the strip's
// own (it answers WM_ERASEBKGND, WM_PAINT and WM_MOUSELEAVE) and WM_SIZE of
// the container. Mouse positions are pixels of the strip's client area.
//
// A handler of any of its events may close the window that holds the strip
// and release it (OnItemColose of the last tab runs the main window's close).

#include "base/Control_win.h"
#include "base/Event.h"
#include "base/Handles_win.h"
#include "tabs/CTabItems.h"
#include "tabs/IuTab.h"
#include "tabstrip/TabGeometry.h"
#include "tabstrip/TabWindowCalls_win.h"
#include "tabstrip/mdlTabAPI_win.h"
#include "winplumb/CSubclass_win.h"

#include <cstdint>
#include <memory>

namespace tessaly::win {

class uTab final : public tessaly::win::Control, public IuTab {
public:
    uTab();
    ~uTab() override;

    // The events, in their declaration order. ItemIndex is a hit-test result
    // (a tab or kNoTab, kHitMargin, kHitOutside) for the left button and for
    // moves with no button down, else 0. Button: 1 left, 2 right, 4 middle;
    // Shift: 1 Shift, 2 Ctrl, 4 Alt.
    Event<> TabChanged;
    Event<std::int32_t, std::int16_t&, std::int16_t&, float&, float&> OnDblClick;
    Event<std::int32_t, std::int16_t&, std::int16_t&, float&, float&> OnMouseDown;
    Event<std::int32_t, std::int16_t&, std::int16_t&, float&, float&> OnMouseHover;
    Event<std::int32_t, std::int16_t&, std::int16_t&, float&, float&> OnMouseMove;
    Event<std::int32_t, std::int16_t&, std::int16_t&, float&, float&> OnMouseUp;
    Event<> OnMouseLeave;
    // ItemIndex, Cancel: a handler that sets Cancel keeps the tab.
    Event<std::int32_t, bool&> OnItemColose;
    // hdc, cx, cy, bSkipDefault: a handler may paint the background itself.
    Event<HDC, int, int, bool&> OnDrawBackground;

    HWND hContainerWnd() const { return container_; }
    // Registers the container with the subclasser; an earlier one is kept.
    void SethContainerWnd(HWND value);
    // These take effect at the next resize, width computation or paint.
    std::int32_t TabLeftSize() const { return leftSize_; }
    void SetTabLeftSize(std::int32_t value) { leftSize_ = value; }
    std::int32_t TabRightSize() const { return rightSize_; }
    void SetTabRightSize(std::int32_t value) { rightSize_ = value; }
    void SetTabRight(std::int32_t value) { rightSize_ = value; }
    std::int32_t TabStyle() const { return style_; }
    void SetTabStyle(std::int32_t value) { style_ = value; }

    void LockReDraw(bool bLock);
    // Paints the background and the tabs, and shows them.
    void refresh();
    // Reloads the selected tab's page; with no tab selected that is an error.
    void RefreshPage();
    // Gives the keyboard focus to the selected tab's page, so the keys go to
    // the page the player sees; only while the strip's window is the active
    // one, and only if the focus is not in that page already. Every change of
    // the selection does it.
    void FocusSelectedPage();

    void ReadProperties(const PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;

    // IuTab.
    void Add(const std::wstring& Caption, ITabForm* Form, const std::optional<std::wstring>& Key,
             const std::optional<TabLocator>& Index) override;
    bool BeforeRemove(std::int32_t Index) override;
    void Remove(std::int32_t Index) override;
    void Clear() override;
    void Redraw(bool bUpdate) override;
    void ChangeForm(CTabItem& Item, ITabForm* Form) override;
    std::int32_t Selected() const override { return selected_; }
    void SetSelected(std::int32_t value) override;
    CTabItems& TabItems() override { return *items_; }
    WindowHandle hWnd() const override { return ToHandle(hwnd()); }
    WindowHandle hParent() const override;
    uTab* Control() override { return this; }

    // The finished image as WM_PAINT shows it, copied to any DC.
    void render(HDC target) const;
    std::int32_t HoverIndex() const { return hover_; }
    int CloseState() const { return closeState_; }
    std::int32_t TabWidth() const { return tabWidth_; }

protected:
    void OnResize() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct MouseDown {
        std::int16_t button = 0;
        std::int16_t shift = 0;
        float x = 0;
        float y = 0;
    };

    void c_Subclass_WindowProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd,
                               UINT uMsg, WPARAM wParam, LPARAM lParam, LPARAM& lParamUser);
    void Resize();
    void CreateBuffers();
    void ComputeTabWidth();
    void Layout();
    void PaintBackground();
    void PaintTabs(bool update);
    void DrawTab(std::int32_t index, bool selected);
    void DrawCaption(const std::wstring& text, HDC dc, const PixelRect& box);
    void AttachPage(HWND page);
    void ShowSelectedPage();
    TabHit HitAt(float x, float y) const;
    int ClientWidth() const;
    HDC Skin() const { return style_ == 0 ? skin0_.get() : skin1_.get(); }
    int StripHeight() const { return MetricsOf(style_).height; }

    // False: a handler released the strip. A press replayed by a double click
    // presses no close glyph: its release would close the tab that moved in
    // under the pointer when the first click closed its own.
    bool Press(std::int16_t button, std::int16_t shift, float x, float y, bool replayed = false);
    void Move(std::int16_t buttons, std::int16_t shift, float x, float y);
    void Release(std::int16_t button, std::int16_t shift, float x, float y);
    void DoubleClick();
    void Leave();

    // Destroyed in reverse: the subclasser first, then the tabs, the skins,
    // the fonts and the buffers last.
    UniqueMemoryDC background_;
    UniqueMemoryDC tabArea_;
    UniqueMemoryDC composite_;
    int bufferWidth_ = 0;
    int bufferHeight_ = 0;
    int areaWidth_ = 0;
    UniqueFont normalFont_;
    UniqueFont selectedFont_;
    UniqueMemoryDC skin0_;
    UniqueMemoryDC skin1_;
    Win32TabWindowCalls windowCalls_;
    std::unique_ptr<CTabItems> items_;
    CSubclass subclass_;

    std::int32_t style_ = 0;
    std::int32_t leftSize_ = 40;
    std::int32_t rightSize_ = 0;
    std::int32_t selected_ = kNoTab;
    std::int32_t hover_ = kNoTab;
    std::int32_t tabWidth_ = 108;
    int closeState_ = kCloseNormal;
    bool redrawEnabled_ = false;
    bool ownWindowSubclassed_ = false;
    MouseDown lastDown_;
    HWND container_ = nullptr;
};

} // namespace tessaly::win
