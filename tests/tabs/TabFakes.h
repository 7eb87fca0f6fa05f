#pragma once
// Fakes of the strip, its window calls and the pages, all writing one trace so
// that tests can check the order in which the tab model calls them.

#include "tabs/CTabItems.h"
#include "tabs/ITabForm.h"
#include "tabs/IuTab.h"
#include "tabs/TabWindowCalls.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tessaly::test {

using Trace = std::vector<std::string>;

class FakeWindows : public TabWindowCalls {
public:
    explicit FakeWindows(Trace& trace)
        : trace_(trace) {}
    std::map<WindowHandle, std::uint32_t> styles;
    std::map<WindowHandle, WindowRect> rects;
    int screenWidth = 1280;
    int screenHeight = 800;

    std::uint32_t GetWindowStyle(WindowHandle w) override {
        Note("GetWindowStyle", w);
        return styles[w];
    }
    void SetWindowStyle(WindowHandle w, std::uint32_t style) override {
        Note("SetWindowStyle", w, style);
        styles[w] = style;
    }
    void SetParent(WindowHandle w, WindowHandle parent) override { Note("SetParent", w, parent); }
    int ScreenWidth() override {
        trace_.push_back("ScreenWidth");
        return screenWidth;
    }
    int ScreenHeight() override {
        trace_.push_back("ScreenHeight");
        return screenHeight;
    }
    WindowRect GetWindowRect(WindowHandle w) override {
        Note("GetWindowRect", w);
        return rects[w];
    }
    void SetWindowPos(WindowHandle w, int x, int y) override {
        trace_.push_back("SetWindowPos " + std::to_string(w) + " " + std::to_string(x) + "," +
                         std::to_string(y));
    }
    void SetActiveWindow(WindowHandle w) override { Note("SetActiveWindow", w); }
    void RedrawWindow(WindowHandle w) override { Note("RedrawWindow", w); }

private:
    void Note(const std::string& what, WindowHandle w) {
        trace_.push_back(what + " " + std::to_string(w));
    }
    void Note(const std::string& what, WindowHandle w, std::uint64_t v) {
        trace_.push_back(what + " " + std::to_string(w) + " " + std::to_string(v));
    }
    Trace& trace_;
};

// What became of a page, kept beyond the page's own life (items own pages).
struct PageRecord {
    int initialized = 0;
    int unloaded = 0;
    bool destroyed = false;
    IuTab* strip = nullptr;
    CTabItem* item = nullptr;
};

class FakePage : public ITabForm {
public:
    FakePage(std::string name, WindowHandle window, PageRecord& record, Trace& trace)
        : name_(std::move(name))
        , window_(window)
        , record_(record)
        , trace_(trace) {}
    ~FakePage() override { record_.destroyed = true; }

    WindowHandle hWnd() override { return window_; }
    void Initialize(IuTab* Implement, CTabItem* Item) override {
        trace_.push_back(name_ + ".Initialize");
        ++record_.initialized;
        record_.strip = Implement;
        record_.item = Item;
    }
    void RefreshPage() override { trace_.push_back(name_ + ".RefreshPage"); }
    void Unload() override {
        trace_.push_back(name_ + ".Unload");
        ++record_.unloaded;
    }

private:
    std::string name_;
    WindowHandle window_;
    PageRecord& record_;
    Trace& trace_;
};

class FakeStrip : public IuTab {
public:
    FakeStrip(Trace& trace, TabWindowCalls& windows)
        : trace_(trace)
        , items_(windows) {
        items_.SetOwner(this);
    }
    bool allowRemoval = true;
    std::int32_t selected = -1;
    WindowHandle window = 500;
    WindowHandle parent = 400;

    void Add(const std::wstring&, ITabForm* Form, const std::optional<std::wstring>& Key,
             const std::optional<TabLocator>& Index) override {
        trace_.push_back(std::string("strip.Add ") + (Form ? "page" : "none") +
                         (Key ? " key" : "") + (Index ? " index" : ""));
    }
    bool BeforeRemove(std::int32_t Index) override {
        trace_.push_back("strip.BeforeRemove " + std::to_string(Index));
        return allowRemoval;
    }
    void Remove(std::int32_t Index) override {
        trace_.push_back("strip.Remove " + std::to_string(Index));
    }
    void Clear() override { trace_.push_back("strip.Clear"); }
    void Redraw(bool bUpdate) override {
        trace_.push_back(std::string("strip.Redraw ") + (bUpdate ? "1" : "0"));
    }
    void ChangeForm(CTabItem&, ITabForm*) override { trace_.push_back("strip.ChangeForm"); }
    std::int32_t Selected() const override { return selected; }
    void SetSelected(std::int32_t value) override {
        trace_.push_back("strip.Selected " + std::to_string(value));
        selected = value;
    }
    CTabItems& TabItems() override { return items_; }
    WindowHandle hWnd() const override { return window; }
    WindowHandle hParent() const override { return parent; }
    win::uTab* Control() override { return nullptr; }

private:
    Trace& trace_;
    CTabItems items_;
};

// A tab model on the fakes: the collection of a fake strip, one trace for all.
struct FakeTabModel {
    Trace trace;
    std::deque<PageRecord> records; // stable addresses
    FakeWindows windows{trace};
    FakeStrip strip{trace, windows};
    CTabItems& items = strip.TabItems();
};

} // namespace tessaly::test
