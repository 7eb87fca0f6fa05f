#include <windows.h>
#include <ole2.h>

#include <exdispid.h>

#include "app/BrowserEvents_win.h"
#include "app/ScriptedBrowser.h"
#include "app/WebBrowserEngine_win.h"
#include "app/WebBrowserSite_win.h"
#include "shell/DownLoadFile_win.h"
#include "support/TestWindows_win.h"
#include "base/Form_win.h"
#include "base/Handles_win.h"
#include "base/MessageFilter_win.h"
#include "base/PictureBox_win.h"
#include "base/Text.h"
#include "shell/TestServer_win.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;

namespace {

// The control in a container on a shown window, inside an OLE session. The
// members go in reverse: the control before its container, OLE last.
class WebBrowserControl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ole.ok);
        host.Show();
        container.CreatePixels(host.hwnd(), 10, 10, 400, 300);
        browser = CreateWebBrowser(container.hwnd());
        ASSERT_NE(browser, nullptr);
    }

    struct OleSession {
        OleSession()
            : ok(SUCCEEDED(OleInitialize(nullptr))) {}
        ~OleSession() {
            if (ok) OleUninitialize();
        }
        bool ok;
    } ole;
    test::HostForm host{600, 400};
    PictureBox container{RGB(254, 254, 254)};
    std::unique_ptr<Browser> browser;
};

} // namespace

TEST_F(WebBrowserControl, CancelsAppCommandsAndLetsWebAddressesReachTheServer) {
    ASSERT_FALSE(test::PortFile().empty()) << "the local HTTP server fixture is not running";
    browser->Place(-1, -1, 419, 319);
    std::vector<std::pair<std::wstring, bool>> before; // address, its own (not a frame's)
    int downloads = 0, errors = 0, completions = 0;
    // No handler stops anything: the engine stops "app://" by itself.
    browser->BeforeNavigate2.Connect([&](const std::wstring& url, bool topLevel, bool&) {
        before.emplace_back(url, topLevel);
    });
    browser->DownloadBegin.Connect([&] { ++downloads; });
    browser->NavigateError.Connect([&](const std::wstring&, bool) { ++errors; });
    browser->DocumentComplete.Connect([&](const std::wstring&) { ++completions; });

    browser->Navigate(L"app://minimize");
    ASSERT_TRUE(test::PumpUntil([&] { return !before.empty(); }, 5000));
    EXPECT_EQ(before[0], std::make_pair(std::wstring(L"app://minimize"), true));
    test::PumpUntil([] { return false; }, 300);
    EXPECT_EQ(downloads + errors + completions, 0) << "a cancelled command went on loading";

    const std::string token = "browser-test-" + std::to_string(GetTickCount64());
    const std::wstring page = test::TestServer() + L"client/?" + Utf8ToWide(token);
    browser->Navigate(page);
    const bool reached = test::PumpUntil(
        [&] { return test::TestServerLog().find(token) != std::string::npos; }, 10000);
    EXPECT_TRUE(reached) << "the request never reached the server";
    ASSERT_GE(before.size(), 2u);
    EXPECT_EQ(before[1], std::make_pair(page, true));
}

TEST_F(WebBrowserControl, ThePageHearsItsKeysFromEveryLoopWhileTheControlLives) {
    EXPECT_EQ(MessageFilter::CountFor(container.hwnd()), 1u);
    // Typing is no accelerator: the loop still dispatches it.
    const HWND inner = GetWindow(container.hwnd(), GW_CHILD);
    MSG typed{inner ? inner : container.hwnd(), WM_KEYDOWN, 'A', 1, 0, {}};
    EXPECT_FALSE(PreTranslate(typed));
    browser.reset();
    EXPECT_EQ(MessageFilter::CountFor(container.hwnd()), 0u); // nothing calls a closed control
}

namespace {

// A COM object of its own identity, standing for the control or a frame's browser.
struct Object final : IDispatch {
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        *out = riid == IID_IUnknown || riid == IID_IDispatch ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        return E_NOTIMPL;
    }
};

// Arguments as the control passes them: texts as BSTRs or by reference to a
// VARIANT holding one, Cancel by reference.
class Arguments {
public:
    ~Arguments() {
        for (BSTR text : texts_)
            SysFreeString(text);
    }
    VARIANT Text(const wchar_t* text, bool byReference) {
        VARIANT v{};
        v.vt = VT_BSTR;
        v.bstrVal = texts_.emplace_back(SysAllocString(text));
        if (!byReference) return v;
        VARIANT& inner = held_.emplace_back(v);
        v.vt = VT_BYREF | VT_VARIANT;
        v.pvarVal = &inner;
        return v;
    }
    static VARIANT Of(IDispatch* object) {
        VARIANT v{};
        v.vt = VT_DISPATCH;
        v.pdispVal = object;
        return v;
    }
    static VARIANT Cancel(VARIANT_BOOL* cancel) {
        VARIANT v{};
        v.vt = VT_BYREF | VT_BOOL;
        v.pboolVal = cancel;
        return v;
    }
    // The event's arguments in their declared order; Invoke gets them reversed.
    void Play(Browser& browser, IUnknown* control, DISPID id, std::vector<VARIANT> declared) {
        std::vector<VARIANT> reversed(declared.rbegin(), declared.rend());
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        RaiseBrowserEvent(browser, control, id, params);
    }

private:
    std::vector<BSTR> texts_;
    std::deque<VARIANT> held_;
};

} // namespace

TEST(BrowserEvents, EveryEventTheWindowsHandleIsDecodedFromItsArguments) {
    ScriptedBrowser page;
    Object control, frame;
    std::vector<std::wstring> heard;
    const auto where = [](bool topLevel) { return topLevel ? L" page" : L" frame"; };
    page.DownloadBegin.Connect([&] { heard.push_back(L"begin"); });
    page.TitleChange.Connect([&](const std::wstring& t) { heard.push_back(L"title " + t); });
    page.BeforeNavigate2.Connect([&](const std::wstring& url, bool topLevel, bool& cancel) {
        heard.push_back(L"before " + url + where(topLevel));
        cancel = url.ends_with(L"stop");
    });
    page.DocumentComplete.Connect([&](const std::wstring& url) { heard.push_back(L"done " + url); });
    page.NavigateError.Connect([&](const std::wstring& url, bool topLevel) {
        heard.push_back(L"error " + url + where(topLevel));
    });
    page.NewWindow3.Connect([&](const std::wstring& url) { heard.push_back(L"window " + url); });

    Arguments a;
    a.Play(page, &control, DISPID_DOWNLOADBEGIN, {});
    a.Play(page, &control, DISPID_TITLECHANGE, {a.Text(L"翡翠山谷", false)});
    // Whatever the handler says, no "app://" address loads, a frame's neither.
    const std::pair<const wchar_t*, Object*> navigations[] = {{L"http://h/go", &control},
                                                              {L"http://h/stop", &control},
                                                              {L"app://loadgame|http://h/", &control},
                                                              {L"APP://minimize", &frame}};
    std::vector<VARIANT_BOOL> cancelled;
    for (const auto& [url, who] : navigations) {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        a.Play(page, &control, DISPID_BEFORENAVIGATE2,
               {Arguments::Of(who), a.Text(url, true), a.Text(L"", true), a.Text(L"", true),
                a.Text(L"", true), a.Text(L"", true), Arguments::Cancel(&cancel)});
        cancelled.push_back(cancel);
    }
    EXPECT_EQ(cancelled, (std::vector<VARIANT_BOOL>{VARIANT_FALSE, VARIANT_TRUE, VARIANT_TRUE,
                                                    VARIANT_TRUE}));
    a.Play(page, &control, DISPID_DOCUMENTCOMPLETE, {Arguments::Of(&frame), a.Text(L"http://h/f", true)});
    for (Object* who : {&control, &frame}) {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        a.Play(page, &control, DISPID_NAVIGATEERROR,
               {Arguments::Of(who), a.Text(L"http://h/x", true), a.Text(L"", true),
                a.Text(L"", true), Arguments::Cancel(&cancel)});
    }
    // The page's windows never open, and only the third event names the address.
    VARIANT_BOOL second = VARIANT_FALSE, third = VARIANT_FALSE;
    IDispatch* opened = nullptr;
    VARIANT window{};
    window.vt = VT_BYREF | VT_DISPATCH;
    window.ppdispVal = &opened;
    a.Play(page, &control, DISPID_NEWWINDOW2, {window, Arguments::Cancel(&second)});
    VARIANT flags{};
    flags.vt = VT_I4;
    a.Play(page, &control, DISPID_NEWWINDOW3,
           {window, Arguments::Cancel(&third), flags, a.Text(L"http://h/go", false),
            a.Text(L"http://h/2.html", false)});
    EXPECT_EQ(second, VARIANT_TRUE);
    EXPECT_EQ(third, VARIANT_TRUE);
    // Short argument lists say nothing.
    a.Play(page, &control, DISPID_BEFORENAVIGATE2, {a.Text(L"http://h/short", true)});
    a.Play(page, &control, DISPID_NEWWINDOW3, {window});

    EXPECT_EQ(heard, (std::vector<std::wstring>{
                         L"begin", L"title 翡翠山谷", L"before http://h/go page",
                         L"before http://h/stop page", L"before app://loadgame|http://h/ page",
                         L"before APP://minimize frame", L"done http://h/f",
                         L"error http://h/x page", L"error http://h/x frame",
                         L"window http://h/2.html"}));
}

TEST(WebBrowserSite, OnlyAPageWhoseMenuIsSuppressedLosesTheEnginesContextMenu) {
    Microsoft::WRL::ComPtr<WebBrowserSite> site;
    site.Attach(new WebBrowserSite(nullptr));
    EXPECT_EQ(site->ShowContextMenu(0, nullptr, nullptr, nullptr), S_FALSE); // the engine's own
    site->SuppressContextMenu();
    EXPECT_EQ(site->ShowContextMenu(0, nullptr, nullptr, nullptr), S_OK);
}

namespace {

// The control's half of keyboard accelerators: it takes every key it is offered.
struct Accelerators final : IOleInPlaceActiveObject {
    std::vector<WPARAM> keys;
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        *out = riid == IID_IUnknown || riid == IID_IOleInPlaceActiveObject ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetWindow(HWND*) override { return E_NOTIMPL; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override {
        if (msg->message == WM_KEYDOWN) keys.push_back(msg->wParam);
        return S_OK;
    }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
};

} // namespace

TEST(PageKeys, TabCopyPasteAndBackspaceReachTheControlFromEveryMessageLoop) {
    enum class Loop { Main, Modal, Download };
    for (const Loop loop : {Loop::Main, Loop::Modal, Loop::Download}) {
        test::HostForm host{300, 200};
        host.Show();
        PictureBox container{RGB(254, 254, 254)};
        container.CreatePixels(host.hwnd(), 0, 0, 200, 100);
        PictureBox page{RGB(254, 254, 254)}; // the engine's own window inside
        page.CreatePixels(container.hwnd(), 0, 0, 200, 100);
        Accelerators control;
        const MessageFilter filter = OfferPageKeys(container.hwnd(), &control);
        for (const WPARAM key : {WPARAM{VK_TAB}, WPARAM{VK_CONTROL}, WPARAM{'C'}, WPARAM{'V'},
                                 WPARAM{VK_BACK}})
            PostMessageW(page.hwnd(), WM_KEYDOWN, key, 1);
        switch (loop) {
        case Loop::Main: // runs until its last form has gone
            PostMessageW(host.hwnd(), WM_CLOSE, 0, 0);
            Form::RunMessageLoop();
            break;
        case Loop::Modal: {
            test::HostForm dialog{100, 80};
            dialog.Load();
            PostMessageW(dialog.hwnd(), WM_CLOSE, 0, 0);
            dialog.ShowModal(host.hwnd());
            break;
        }
        case Loop::Download:
            ProcessPendingMessages();
            break;
        }
        EXPECT_EQ(control.keys, (std::vector<WPARAM>{VK_TAB, VK_CONTROL, 'C', 'V', VK_BACK}))
            << static_cast<int>(loop);
    }
}

TEST(BrowserFeatureControls, TheEnginesProtectionsAreOnBesideItsCurrentMode) {
    const std::wstring exe = L"tessaly-feature-test.exe";
    WriteBrowserFeatureControls(exe);
    const std::pair<const wchar_t*, DWORD> expected[] = {
        {L"FEATURE_BROWSER_EMULATION", 11001},      {L"FEATURE_LOCALMACHINE_LOCKDOWN", 1},
        {L"FEATURE_ZONE_ELEVATION", 1},             {L"FEATURE_RESTRICT_ACTIVEXINSTALL", 1},
        {L"FEATURE_WINDOW_RESTRICTIONS", 1},
    };
    for (const auto& [feature, value] : expected) {
        DWORD read = 0, size = sizeof read;
        const std::wstring key = std::wstring(kFeatureControlKey) + L"\\" + feature;
        EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, key.c_str(), exe.c_str(), RRF_RT_REG_DWORD,
                               nullptr, &read, &size),
                  ERROR_SUCCESS)
            << feature;
        EXPECT_EQ(read, value) << feature;
    }
    for (const BrowserFeatureControl& control : BrowserFeatureControls()) {
        const std::wstring key = std::wstring(kFeatureControlKey) + L"\\" + control.name;
        RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), exe.c_str());
    }
}
