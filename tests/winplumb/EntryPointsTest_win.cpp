#include <windows.h>

#include "winplumb/EntryPoints_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tessaly::win;

namespace {

// A hook that notes its name and passes the message on.
class NamedHook : public EntryRecord {
public:
    NamedHook(std::string name, std::string& trace)
        : name_(std::move(name))
        , trace_(trace) {}
    void Install(HWND hwnd) {
        entry_ = EntryPoints::Acquire(this);
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry_)));
    }
    void Remove(HWND hwnd) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        EntryPoints::Release(entry_);
    }
    LRESULT Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) trace_ += name_;
        return CallWindowProcW(previous_, hwnd, message, wParam, lParam);
    }

private:
    std::string name_;
    std::string& trace_;
    WNDPROC entry_ = nullptr;
    WNDPROC previous_ = nullptr;
};

} // namespace

TEST(EntryPoints, HooksOfOneKindChainOnOneWindow) {
    const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        nullptr, nullptr);
    std::string trace;
    NamedHook first("a", trace), second("b", trace);
    const std::size_t before = EntryPoints::InUse();
    first.Install(window);
    second.Install(window);
    EXPECT_EQ(EntryPoints::InUse(), before + 2);
    SendMessageW(window, WM_APP, 0, 0);
    EXPECT_EQ(trace, "ba"); // the later hook sees the message first
    second.Remove(window);
    first.Remove(window);
    SendMessageW(window, WM_APP, 0, 0);
    EXPECT_EQ(trace, "ba");
    EXPECT_EQ(EntryPoints::InUse(), before);
    DestroyWindow(window);
}

TEST(EntryPoints, RunOutPlainlyAndComeBack) {
    std::string trace;
    NamedHook hook("x", trace);
    std::vector<WNDPROC> taken;
    while (WNDPROC entry = EntryPoints::Acquire(&hook))
        taken.push_back(entry);
    EXPECT_EQ(EntryPoints::InUse(), EntryPoints::kCount);
    for (WNDPROC entry : taken)
        EntryPoints::Release(entry);
    const WNDPROC again = EntryPoints::Acquire(&hook);
    EXPECT_NE(again, nullptr);
    EntryPoints::Release(again);
}
