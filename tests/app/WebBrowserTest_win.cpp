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

#include <olectl.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::win;
using Microsoft::WRL::ComPtr;

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
    browser->BeforeNavigate2.Connect(
        [&](const std::wstring& url, bool topLevel, bool&) { before.emplace_back(url, topLevel); });
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

// Texts as the control passes them: BSTRs, or by reference to a VARIANT
// holding one. The object keeps them until the end of the test.
struct Texts {
    std::deque<VARIANT> held;
    ~Texts() {
        for (VARIANT& v : held)
            VariantClear(&v);
    }
    VARIANT operator()(const wchar_t* text, bool byReference = true) {
        VARIANT& bstr = held.emplace_back();
        bstr.vt = VT_BSTR;
        bstr.bstrVal = SysAllocString(text);
        VARIANT v{};
        v.vt = VT_BYREF | VT_VARIANT;
        v.pvarVal = &bstr;
        return byReference ? v : bstr;
    }
};

VARIANT Of(IDispatch* object, VARIANT_BOOL* cancel = nullptr) {
    VARIANT v{};
    v.vt = cancel ? VT_BYREF | VT_BOOL : VT_DISPATCH;
    if (cancel)
        v.pboolVal = cancel;
    else
        v.pdispVal = object;
    return v;
}

// The event's arguments in their declared order: Invoke has them reversed.
void Play(Browser& browser, IUnknown* control, DISPID id, std::vector<VARIANT> declared) {
    std::vector<VARIANT> reversed(declared.rbegin(), declared.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    RaiseBrowserEvent(browser, control, id, params);
}

} // namespace

TEST(BrowserEvents, EveryEventTheWindowsHandleIsDecodedFromItsArguments) {
    ASSERT_EQ(OleInitialize(nullptr), S_OK);
    // Two COM objects of their own identity: the control and a frame's browser.
    FONTDESC font{sizeof font, const_cast<LPOLESTR>(L"Arial"), {100000, 0}, 400, 0, 0, 0, 0};
    ComPtr<IDispatch> control, frame;
    OleCreateFontIndirect(&font, IID_PPV_ARGS(&control));
    OleCreateFontIndirect(&font, IID_PPV_ARGS(&frame));
    ScriptedBrowser page;
    std::vector<std::wstring> heard;
    const auto where = [](bool topLevel) { return topLevel ? L" page" : L" frame"; };
    page.DownloadBegin.Connect([&] { heard.push_back(L"begin"); });
    page.TitleChange.Connect([&](const std::wstring& t) { heard.push_back(L"title " + t); });
    page.BeforeNavigate2.Connect([&](const std::wstring& url, bool topLevel, bool& cancel) {
        heard.push_back(url + where(topLevel));
        cancel = url.ends_with(L"stop");
    });
    page.DocumentComplete.Connect(
        [&](const std::wstring& url) { heard.push_back(L"done " + url); });
    page.NavigateError.Connect([&](const std::wstring& url, bool topLevel) {
        heard.push_back(L"error " + url + where(topLevel));
    });
    page.NewWindow3.Connect([&](const std::wstring& url) { heard.push_back(L"window " + url); });

    Texts text;
    Play(page, control.Get(), DISPID_DOWNLOADBEGIN, {});
    Play(page, control.Get(), DISPID_TITLECHANGE, {text(L"翡翠山谷", false)});
    // Whatever the handler says, no "app://" address loads, a frame's neither.
    std::vector<VARIANT_BOOL> cancelled;
    for (const auto& [url, who] : {std::pair{L"http://h/go", control.Get()},
                                   {L"http://h/stop", control.Get()},
                                   {L"app://loadgame|http://h/", control.Get()},
                                   {L"APP://minimize", frame.Get()}}) {
        VARIANT_BOOL& cancel = cancelled.emplace_back(VARIANT_FALSE);
        Play(
            page, control.Get(), DISPID_BEFORENAVIGATE2,
            {Of(who), text(url), text(L""), text(L""), text(L""), text(L""), Of(nullptr, &cancel)});
    }
    EXPECT_EQ(cancelled, (std::vector<VARIANT_BOOL>{0, VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE}));
    Play(page, control.Get(), DISPID_DOCUMENTCOMPLETE, {Of(frame.Get()), text(L"http://h/f")});
    VARIANT_BOOL ignored = VARIANT_FALSE, second = VARIANT_FALSE, third = VARIANT_FALSE;
    for (IDispatch* who : {control.Get(), frame.Get()})
        Play(page, control.Get(), DISPID_NAVIGATEERROR,
             {Of(who), text(L"http://h/x"), text(L""), text(L""), Of(nullptr, &ignored)});
    // The page's windows never open; only the third event names the address.
    Play(page, control.Get(), DISPID_NEWWINDOW2, {Of(nullptr), Of(nullptr, &second)});
    Play(page, control.Get(), DISPID_NEWWINDOW3,
         {Of(nullptr), Of(nullptr, &third), Of(nullptr), text(L"http://h/go", false),
          text(L"http://h/2.html", false)});
    EXPECT_EQ(second + third, 2 * VARIANT_TRUE);
    // Short argument lists say nothing.
    Play(page, control.Get(), DISPID_BEFORENAVIGATE2, {text(L"http://h/short")});
    Play(page, control.Get(), DISPID_NEWWINDOW3, {Of(nullptr)});
    EXPECT_EQ(heard,
              (std::vector<std::wstring>{
                  L"begin", L"title 翡翠山谷", L"http://h/go page", L"http://h/stop page",
                  L"app://loadgame|http://h/ page", L"APP://minimize frame", L"done http://h/f",
                  L"error http://h/x page", L"error http://h/x frame", L"window http://h/2.html"}));
    control.Reset();
    frame.Reset();
    OleUninitialize();
}

TEST(WebBrowserSite, OnlyAPageWhoseMenuIsSuppressedLosesTheEnginesContextMenu) {
    ComPtr<WebBrowserSite> site;
    site.Attach(new WebBrowserSite(nullptr));
    EXPECT_EQ(site->ShowContextMenu(0, nullptr, nullptr, nullptr), S_FALSE); // the engine's own
    site->SuppressContextMenu();
    EXPECT_EQ(site->ShowContextMenu(0, nullptr, nullptr, nullptr), S_OK);
}

namespace {

// The control's half of keyboard accelerators: it takes every key it is offered.
struct Accelerators final : IOleInPlaceActiveObject {
    std::vector<WPARAM> keys;
    STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetWindow(HWND*) override { return E_NOTIMPL; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override {
        keys.push_back(msg->wParam);
        return S_OK;
    }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
};

} // namespace

TEST(PageKeys, TabCopyPasteAndBackspaceReachTheControlFromEveryMessageLoop) {
    for (const int loop : {0, 1, 2}) { // the main loop, a modal one, the downloader's pump
        test::HostForm host{300, 200}, dialog{100, 80};
        host.Show();
        PictureBox container{0}, engineWindow{0};
        container.CreatePixels(host.hwnd(), 0, 0, 200, 100);
        engineWindow.CreatePixels(container.hwnd(), 0, 0, 200, 100);
        Accelerators control;
        const MessageFilter filter = OfferPageKeys(container.hwnd(), &control);
        for (const int key : {VK_TAB, VK_CONTROL, int{'C'}, int{'V'}, VK_BACK})
            PostMessageW(engineWindow.hwnd(), WM_KEYDOWN, key, 1);
        if (loop == 0) {
            PostMessageW(host.hwnd(), WM_CLOSE, 0, 0); // it runs until no form is left
            Form::RunMessageLoop();
        } else if (loop == 1) {
            dialog.Load();
            PostMessageW(dialog.hwnd(), WM_CLOSE, 0, 0);
            dialog.ShowModal(host.hwnd());
        } else {
            ProcessPendingMessages();
        }
        EXPECT_EQ(control.keys, (std::vector<WPARAM>{VK_TAB, VK_CONTROL, 'C', 'V', VK_BACK}))
            << loop;
    }
}

TEST(BrowserFeatureControls, TheEnginesProtectionsAreOnBesideItsCurrentMode) {
    const std::wstring exe = L"tessaly-feature-test.exe";
    WriteBrowserFeatureControls(exe);
    for (const auto& [feature, value] : {std::pair{L"FEATURE_BROWSER_EMULATION", 11001ul},
                                         {L"FEATURE_LOCALMACHINE_LOCKDOWN", 1ul},
                                         {L"FEATURE_ZONE_ELEVATION", 1ul},
                                         {L"FEATURE_RESTRICT_ACTIVEXINSTALL", 1ul},
                                         {L"FEATURE_WINDOW_RESTRICTIONS", 1ul}}) {
        DWORD read = 0, size = sizeof read;
        const std::wstring key = std::wstring(kFeatureControlKey) + L"\\" + feature;
        RegGetValueW(HKEY_CURRENT_USER, key.c_str(), exe.c_str(), RRF_RT_REG_DWORD, nullptr, &read,
                     &size);
        EXPECT_EQ(read, value) << feature;
    }
    for (const BrowserFeatureControl& control : BrowserFeatureControls())
        RegDeleteKeyValueW(HKEY_CURRENT_USER,
                           (std::wstring(kFeatureControlKey) + L"\\" + control.name).c_str(),
                           exe.c_str());
}
