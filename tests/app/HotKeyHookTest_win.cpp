#include <windows.h>

#include "app/HotKeyHook_win.h"
#include "base/Form_win.h"
#include "shell/QelNotifyIcon_win.h"
#include "winplumb/EntryPoints_win.h"
#include "winplumb/cFormSubclass_win.h"
#include "winplumb/cSetStyle_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace tessaly::win;

namespace {

struct MainWindow {
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_APP) return 5;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    MainWindow() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TessalyHotKeyTarget";
        RegisterClassExW(&wc);
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"main", WS_POPUP | WS_VISIBLE, 50, 50, 300,
                               200, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~MainWindow() { DestroyWindow(hwnd); }
    WNDPROC procedure() const {
        return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    }
    HWND hwnd;
};

void Pump(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount64() < end);
}

void Press(WORD key, bool withControl) {
    INPUT inputs[4] = {};
    int n = 0;
    auto add = [&](WORD vk, DWORD flags) {
        inputs[n].type = INPUT_KEYBOARD;
        inputs[n].ki.wVk = vk;
        inputs[n].ki.dwFlags = flags;
        ++n;
    };
    if (withControl) add(VK_CONTROL, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (withControl) add(VK_CONTROL, KEYEVENTF_KEYUP);
    SendInput(n, inputs, sizeof(INPUT));
}

} // namespace

TEST(HotKeyHook, TrayClicksToggleAndOpenTheMenu) {
    MainWindow main;
    int menus = 0, taskbars = 0;
    HookMainWindow(main.hwnd, {[&] { ++menus; }, [&] { ++taskbars; }});
    SendMessageW(main.hwnd, QelNotifyIcon::kCallbackMessage, QelNotifyIcon::kIconId, WM_LBUTTONUP);
    EXPECT_FALSE(IsWindowVisible(main.hwnd));
    SendMessageW(main.hwnd, QelNotifyIcon::kCallbackMessage, QelNotifyIcon::kIconId, WM_RBUTTONUP);
    EXPECT_EQ(menus, 1); // also while hidden
    SendMessageW(main.hwnd, QelNotifyIcon::kCallbackMessage, QelNotifyIcon::kIconId, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(main.hwnd));
    SendMessageW(main.hwnd, QelNotifyIcon::kCallbackMessage, QelNotifyIcon::kIconId, WM_MOUSEMOVE);
    EXPECT_TRUE(IsWindowVisible(main.hwnd));
    SendMessageW(main.hwnd, QelNotifyIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ(taskbars, 1);
    EXPECT_EQ(SendMessageW(main.hwnd, WM_APP, 0, 0), 5); // everything else goes on
    UnhookMainWindow(main.hwnd);
    EXPECT_EQ(main.procedure(), &MainWindow::Procedure);
}

TEST(HotKeyHook, F10TogglesButCtrlF10DoesNotAndUnhookingFreesIt) {
    MainWindow main;
    HookMainWindow(main.hwnd, {});
    SetForegroundWindow(main.hwnd);
    Press(VK_F10, false);
    Pump(300);
    EXPECT_FALSE(IsWindowVisible(main.hwnd));
    Press(VK_F10, true);
    Pump(300);
    EXPECT_FALSE(IsWindowVisible(main.hwnd));
    Press(VK_F10, false);
    Pump(300);
    EXPECT_TRUE(IsWindowVisible(main.hwnd));
    UnhookMainWindow(main.hwnd);
    // F10 is free again for everyone.
    EXPECT_TRUE(RegisterHotKey(nullptr, 77, 0, VK_F10));
    UnregisterHotKey(nullptr, 77);
}

TEST(HotKeyHook, ChainsWithTheFormSubclassInstalledAfterAndRemovedAfter) {
    MainWindow main;
    HookMainWindow(main.hwnd, {});
    int reported = 0;
    auto subclass = std::make_unique<cFormSubclass>();
    subclass->MsgCome.Connect(
        [&](bool, bool&, LRESULT&, HWND&, UINT& m, WPARAM&, LPARAM&) { reported += m == WM_APP; });
    subclass->AddWindowMsgs(main.hwnd);
    UnhookMainWindow(main.hwnd); // first out, though the subclass is in front of it
    SendMessageW(main.hwnd, QelNotifyIcon::kCallbackMessage, QelNotifyIcon::kIconId, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(main.hwnd)); // the hook no longer acts
    EXPECT_EQ(SendMessageW(main.hwnd, WM_APP, 0, 0), 5);
    EXPECT_EQ(reported, 1); // and the subclass still works
    subclass.reset();
    EXPECT_EQ(SendMessageW(main.hwnd, WM_APP, 0, 0), 5);
    EXPECT_TRUE(RegisterHotKey(nullptr, 77, 0, VK_F10));
    UnregisterHotKey(nullptr, 77);
}

// F10 is registered without key repeat; Wine accepts the flag but repeats
// anyway, so only Windows shows a held F10 toggling once.
TEST(HotKeyHook, ATrayClickRestoresAMinimisedWindow) {
    MainWindow main;
    HookMainWindow(main.hwnd, {});
    ShowWindow(main.hwnd, SW_MINIMIZE);
    SendMessageW(main.hwnd, QelNotifyIcon::kCallbackMessage, QelNotifyIcon::kIconId, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(main.hwnd));
    EXPECT_FALSE(IsIconic(main.hwnd));
    UnhookMainWindow(main.hwnd);
}

TEST(HotKeyHook, TheMenuMayCloseTheWindowFromInsideTheTrayCallback) {
    // As the main window closes: the hook is released first, then the
    // window-style subclass installed after it, then the window goes.
    for (const bool withSubclass : {false, true}) {
        auto main = std::make_unique<MainWindow>();
        bool callbackAlive = false, aliveInside = false;
        auto sentinel = std::shared_ptr<bool>(&callbackAlive, [](bool* alive) { *alive = false; });
        callbackAlive = true;
        auto subclass = std::make_unique<cFormSubclass>();
        HookMainWindow(main->hwnd, {[&, sentinel] {
                                        UnhookMainWindow(main->hwnd);
                                        subclass.reset();
                                        main.reset();
                                        aliveInside = callbackAlive;
                                    },
                                    {}});
        sentinel.reset();
        if (withSubclass) subclass->AddWindowMsgs(main->hwnd);
        const HWND hwnd = main->hwnd;
        SendMessageW(hwnd, QelNotifyIcon::kCallbackMessage, QelNotifyIcon::kIconId, WM_RBUTTONUP);
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_TRUE(aliveInside) << withSubclass; // the running callback kept its captures
        EXPECT_FALSE(callbackAlive) << withSubclass;
        EXPECT_TRUE(RegisterHotKey(nullptr, 77, 0, VK_F10));
        UnregisterHotKey(nullptr, 77);
    }
}

namespace {

// Built and closed in the main window's order: the hot key hook first, the
// window-style subclass after it; at unload the hook goes first, then the
// style. Whoever closes it also releases the object, as the program does.
class MainLikeForm : public Form {
public:
    explicit MainLikeForm(std::function<void()> closed)
        : Form(Design())
        , closed_(std::move(closed)) {}
    ~MainLikeForm() override { Destroy(); }
    int asked = 0;

protected:
    static FormDesign Design() {
        FormDesign design;
        design.className = L"TessalyMainLike";
        design.clientWidthTwips = 6000;
        design.clientHeightTwips = 4500;
        return design;
    }
    void OnLoad() override {
        HookMainWindow(hwnd(), {[this] { CloseCommand(); }, {}});
        style_ = std::make_unique<cSetStyle>();
        style_->CloseClick.Connect([this] { CloseCommand(); });
        style_->set_objForm(hwnd());
        style_->SetWindowStyle(hwnd());
    }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND) {
            CloseCommand(); // the menu's exit
            return 0;
        }
        return Form::HandleMessage(message, wParam, lParam);
    }
    void OnQueryUnload(bool&) override { ++asked; } // the exit question, answered yes
    void OnUnload() override {
        UnhookMainWindow(hwnd());
        style_.reset();
    }

private:
    void CloseCommand() {
        if (Close()) closed_();
    }
    std::function<void()> closed_;
    std::unique_ptr<cSetStyle> style_;
};

} // namespace

TEST(HotKeyHook, TheMainWindowMayCloseFromTheCloseCommandTheMenuOrTheTray) {
    const std::size_t entries = EntryPoints::InUse();
    struct Request {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    for (const Request request :
         {Request{WM_SYSCOMMAND, SC_CLOSE, 0}, Request{WM_COMMAND, 1, 0},
          Request{QelNotifyIcon::kCallbackMessage, QelNotifyIcon::kIconId, WM_RBUTTONUP}}) {
        int asked = -1;
        std::unique_ptr<MainLikeForm> main;
        main = std::make_unique<MainLikeForm>([&] {
            asked = main->asked;
            main.reset();
        });
        main->Show();
        const HWND hwnd = main->hwnd();
        SendMessageW(hwnd, request.message, request.wParam, request.lParam);
        EXPECT_FALSE(main) << request.message;
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(asked, 1) << request.message; // one request, one question
        EXPECT_EQ(EntryPoints::InUse(), entries) << request.message;
        EXPECT_TRUE(RegisterHotKey(nullptr, 77, 0, VK_F10));
        UnregisterHotKey(nullptr, 77);
    }
}
