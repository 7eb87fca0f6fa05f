#include <windows.h>

#include "base/Control_win.h"
#include "base/ErrorLog.h"
#include "base/Form_win.h"
#include "base/MessageFilter_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;

namespace {

class TestForm : public Form {
public:
    TestForm()
        : Form(Design()) {}
    ~TestForm() override { Destroy(); }
    std::vector<std::string> events;
    std::vector<WPARAM> keys; // WM_KEYDOWN that reached the window
    bool cancelUnload = false;
    bool throwOnTimer = false;
    std::function<void()> onUnload;
    std::function<void()> onQuery;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_KEYDOWN) keys.push_back(wParam);
        return Form::HandleMessage(message, wParam, lParam);
    }
    static FormDesign Design() {
        FormDesign d;
        d.className = L"TessalyTestForm";
        d.clientWidthTwips = 3000; // 200 x 100 pixels
        d.clientHeightTwips = 1500;
        return d;
    }
    void OnLoad() override { events.push_back("load"); }
    void OnShow() override { events.push_back("show"); }
    void OnQueryUnload(bool& cancel) override {
        events.push_back("query");
        if (onQuery) onQuery();
        cancel = cancelUnload;
    }
    void OnUnload() override {
        events.push_back("unload");
        if (onUnload) onUnload();
    }
    void OnTimer(UINT_PTR) override {
        KillTimer(hwnd(), 1);
        if (throwOnTimer) throw std::runtime_error("timer failed");
    }
};

class TestControl : public Control {
public:
    TestControl()
        : Control(L"TessalyTestControl") {}
    ~TestControl() override { Destroy(); }
    std::vector<std::string> events;
    std::function<void()> onMouseUp;

protected:
    void OnMouseDown(int& button, int&, float& x, float& y) override {
        events.push_back("down" + std::to_string(button) + "@" + std::to_string(int(x)) + "," +
                         std::to_string(int(y)));
    }
    void OnMouseUp(int& button, int&, float&, float&) override {
        events.push_back("up" + std::to_string(button));
        if (onMouseUp) onMouseUp();
    }
    void OnClick() override { events.push_back("click"); }
    void OnDblClick(int button) override { events.push_back("dbl" + std::to_string(button)); }
};

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
}

bool NoFormLoaded() {
    Pump();
    return Form::LoadedFormCount() == 0;
}

} // namespace

TEST(Form, LoadsHiddenShowsCentredAndUnloadsUnlessCancelled) {
    TestForm form;
    form.Load();
    ASSERT_TRUE(form.IsLoaded());
    EXPECT_FALSE(form.IsVisible());
    RECT client;
    GetClientRect(form.hwnd(), &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 100);
    form.Show();
    EXPECT_TRUE(form.IsVisible());
    RECT window;
    GetWindowRect(form.hwnd(), &window);
    EXPECT_NEAR(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2, 1);

    form.cancelUnload = true;
    EXPECT_FALSE(form.Close());
    EXPECT_TRUE(form.IsLoaded());
    form.cancelUnload = false;
    EXPECT_TRUE(form.Close());
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(form.events, (std::vector<std::string>{"load", "show", "query", "query", "unload"}));
    // The last form gone ends the message loop.
    EXPECT_TRUE(NoFormLoaded());
    EXPECT_EQ(Form::RunMessageLoop(), 0);
}

TEST(Form, APreparedWindowIsNoLoadedFormUntilItLoads) {
    const int before = Form::LoadedFormCount();
    {
        TestForm unused;
        unused.Prepare();
        EXPECT_TRUE(IsWindow(unused.hwnd()));
        EXPECT_FALSE(unused.IsLoaded());
    }
    TestForm form;
    form.Prepare();
    const HWND prepared = form.hwnd();
    form.Show();
    EXPECT_EQ(form.hwnd(), prepared);
    EXPECT_EQ(Form::LoadedFormCount(), before + 1);
    EXPECT_TRUE(form.Close());
    EXPECT_EQ(form.events, (std::vector<std::string>{"load", "show", "query", "unload"}));
    EXPECT_EQ(Form::LoadedFormCount(), before);
}

TEST(Form, ProcessLivesWhileAnyFormIsLoaded) {
    TestForm first, second;
    first.Show();
    second.Show();
    first.Close();
    EXPECT_FALSE(NoFormLoaded());
    second.Close();
    EXPECT_TRUE(NoFormLoaded());
}

TEST(Form, ExceptionsStopAtTheWindowProcedureAndAreLogged) {
    std::vector<std::wstring> logged;
    const ErrorSink previous = SetErrorSink([&](std::wstring_view t) { logged.emplace_back(t); });
    TestForm form;
    form.throwOnTimer = true;
    form.Load();
    SendMessageW(form.hwnd(), WM_TIMER, 1, 0);
    SetErrorSink(previous);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find(L"timer failed"), std::wstring::npos);
    EXPECT_TRUE(form.IsLoaded());
    form.Close();
}

TEST(Form, DestroyingTheWindowCutsItOffFromItsObject) {
    TestForm form;
    form.Load();
    const HWND hwnd = form.hwnd();
    DestroyWindow(hwnd); // destroyed behind the form's back
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0);
}

TEST(Control, ClickNeedsPressAndReleaseOnTheControl) {
    TestForm host;
    host.Show();
    TestControl control;
    control.Create(host.hwnd(), 150, 150, 1500, 750); // 10,10 100x50 pixels
    EXPECT_EQ(control.Width(), 1500);
    EXPECT_EQ(control.Left(), 150);
    const HWND c = control.hwnd();
    SendMessageW(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 6));
    SendMessageW(c, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageW(c, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(c, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageW(c, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    SendMessageW(c, WM_RBUTTONUP, 0, MAKELPARAM(500, 5)); // released outside: no click
    EXPECT_EQ(control.events, (std::vector<std::string>{"down1@60,90", "up1", "click", "dbl1",
                                                        "up1", "down2@75,75", "up2"}));
    EXPECT_EQ(GetCapture(), nullptr);
    host.Close();
}

TEST(Form, EveryLoopOffersKeysToTheFiltersOfTheirWindows) {
    TestForm form;
    form.Load();
    const HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, form.hwnd(),
                                       nullptr, nullptr, nullptr);
    std::vector<WPARAM> offered;
    const auto takeTab = [&](MSG& msg) {
        if (msg.message == WM_KEYDOWN) offered.push_back(msg.wParam);
        return msg.wParam == VK_TAB; // taken: never dispatched
    };
    MessageFilter tabs(form.hwnd(), takeTab);
    MessageFilter childOnly(child, [&](MSG& msg) {
        offered.push_back(1000 + msg.wParam);
        return false;
    });
    const auto post = [&](HWND to, WPARAM key) { PostMessageW(to, WM_KEYDOWN, key, 1); };

    // The application's loop, ended by the last form unloading.
    post(form.hwnd(), VK_TAB);
    post(form.hwnd(), 'A');
    PostMessageW(form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(Form::RunMessageLoop(), 0);
    EXPECT_EQ(offered, (std::vector<WPARAM>{VK_TAB, 'A'})); // not the child's filter
    EXPECT_EQ(form.keys, (std::vector<WPARAM>{'A'}));

    // A modal loop, with a filter that ends its own registration.
    TestForm owner;
    owner.Show();
    form.Load();
    form.keys.clear();
    offered.clear();
    tabs = MessageFilter(form.hwnd(), takeTab);
    const HWND child2 = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, form.hwnd(),
                                        nullptr, nullptr, nullptr);
    MessageFilter once;
    once = MessageFilter(child2, [&](MSG&) {
        once.reset();
        return true;
    });
    post(child2, 'B'); // taken by the child's filter, which then goes
    post(child2, 'C'); // reaches the form's filter through its child
    post(form.hwnd(), VK_TAB);
    post(form.hwnd(), 'D');
    PostMessageW(form.hwnd(), WM_CLOSE, 0, 0);
    form.ShowModal(owner.hwnd());
    EXPECT_EQ(offered, (std::vector<WPARAM>{'C', VK_TAB, 'D'}));
    EXPECT_EQ(form.keys, (std::vector<WPARAM>{'D'}));
    EXPECT_FALSE(once);
    owner.Close();
}

TEST(Form, AFormMayBeDestroyedFromInsideItsOwnModalLoopOrItsUnload) {
    TestForm owner;
    owner.Show();
    auto modal = std::make_unique<TestForm>();
    modal->Load();
    // A key handler inside the loop releases the whole form.
    MessageFilter closer(modal->hwnd(), [&](MSG&) {
        modal.reset();
        return true;
    });
    PostMessageW(modal->hwnd(), WM_KEYDOWN, 'X', 1);
    modal->ShowModal(owner.hwnd());
    EXPECT_FALSE(modal);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd())); // the owner has its input back

    // A close request made while the form is asking is the same request.
    TestForm asking;
    asking.Load();
    asking.onQuery = [&] { asking.Close(); };
    EXPECT_TRUE(asking.Close());
    EXPECT_EQ(asking.events, (std::vector<std::string>{"load", "query", "unload"}));

    auto form = std::make_unique<TestForm>();
    form->Load();
    form->onUnload = [&] { form.reset(); };
    const HWND hwnd = form->hwnd();
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(form);
    EXPECT_FALSE(IsWindow(hwnd));
    owner.Close();
}

TEST(Control, AMouseUpHandlerMayDestroyTheControl) {
    TestForm host;
    host.Show();
    auto control = std::make_unique<TestControl>();
    control->Create(host.hwnd(), 150, 150, 1500, 750);
    const HWND c = control->hwnd();
    control->onMouseUp = [&] { control.reset(); };
    SendMessageW(c, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(c, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(control);
    EXPECT_FALSE(IsWindow(c));
    host.Close();
}
