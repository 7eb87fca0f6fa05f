#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>
#include <ole2.h>
#include <wrl/client.h>

#include "app/WebBrowserEngine_win.h"

#include "app/BrowserEvents_win.h"
#include "app/WebBrowserSite_win.h"
#include "base/ErrorLog.h"
#include "base/Handles_win.h"
#include "base/IniFile_win.h"
#include "base/MessageFilter_win.h"
#include "base/Text.h"

#include <atomic>
#include <utility>

namespace tessaly::win {
namespace {

using Microsoft::WRL::ComPtr;

class Bstr {
public:
    explicit Bstr(const std::wstring& text)
        : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr() = default;
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return value_; }
    BSTR* put() {
        SysFreeString(value_);
        value_ = nullptr;
        return &value_;
    }
    std::wstring str() const {
        return value_ ? std::wstring(value_, SysStringLen(value_)) : std::wstring();
    }

private:
    BSTR value_ = nullptr;
};

class WebBrowserEngine;

// Receives DWebBrowserEvents2. Kept apart from the site, which answers
// ambient-property queries through IDispatch of its own.
class EventSink final : public IDispatch {
public:
    explicit EventSink(WebBrowserEngine* engine)
        : engine_(engine) {}
    void Detach() { engine_ = nullptr; }

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID_DWebBrowserEvents2) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override;

private:
    ~EventSink() = default;
    std::atomic<ULONG> refs_{1};
    WebBrowserEngine* engine_;
};

class WebBrowserEngine final : public Browser {
public:
    explicit WebBrowserEngine(HWND container)
        : container_(container) {}
    ~WebBrowserEngine() override;
    bool Start();

    void Navigate(const std::wstring& url) override;
    void Refresh() override {
        if (browser_) browser_->Refresh();
    }
    void SetSilent(bool silent) override {
        if (browser_) browser_->put_Silent(silent ? VARIANT_TRUE : VARIANT_FALSE);
    }
    void SuppressContextMenu() override { site_->SuppressContextMenu(); }
    void Focus() override;
    std::wstring DocumentUrl() override;
    long long DocumentInnerHtmlLength() override;
    void SetDocumentOverflowHidden() override;
    void Place(int left, int top, int width, int height) override;

    void Dispatch(DISPID id, DISPPARAMS& params) {
        RaiseBrowserEvent(*this, browser_.Get(), id, params);
    }

private:
    ComPtr<IHTMLDocument2> Document();
    ComPtr<IHTMLElement> DocumentElement();

    HWND container_;
    RECT rect_{};
    MessageFilter accelerators_;
    ComPtr<WebBrowserSite> site_;
    ComPtr<IOleObject> object_;
    ComPtr<IWebBrowser2> browser_;
    ComPtr<IConnectionPoint> point_;
    ComPtr<EventSink> sink_;
    DWORD cookie_ = 0;
};

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                               EXCEPINFO*, UINT*) {
    if (!engine_ || !params) return S_OK;
    // The handlers may release the last reference to this sink's engine (not
    // the sink itself); keep the sink alive until Invoke returns.
    ComPtr<EventSink> self(this);
    try {
        engine_->Dispatch(id, *params);
    } catch (...) {
        LogCurrentException(L"browser event " + DecimalText(id));
    }
    return S_OK;
}

bool WebBrowserEngine::Start() {
    site_.Attach(new WebBrowserSite(container_));
    if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&object_))))
        return false;
    object_->SetClientSite(site_.Get());
    OleSetContainedObject(object_.Get(), TRUE);
    GetClientRect(container_, &rect_);
    site_->SetRect(rect_);
    if (FAILED(
            object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.Get(), 0, container_, &rect_)))
        return false;
    if (FAILED(object_.As(&browser_))) return false;
    ComPtr<IOleInPlaceActiveObject> active;
    if (SUCCEEDED(object_.As(&active))) accelerators_ = OfferPageKeys(container_, active);

    ComPtr<IConnectionPointContainer> points;
    if (SUCCEEDED(browser_.As(&points)) &&
        SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &point_))) {
        sink_.Attach(new EventSink(this));
        if (FAILED(point_->Advise(sink_.Get(), &cookie_))) cookie_ = 0;
    }
    return true;
}

WebBrowserEngine::~WebBrowserEngine() {
    accelerators_.reset(); // before the control is closed
    if (sink_) sink_->Detach();
    if (point_ && cookie_) point_->Unadvise(cookie_);
    if (object_) {
        ComPtr<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(object_.As(&inPlace))) inPlace->InPlaceDeactivate();
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
    }
}

void WebBrowserEngine::Navigate(const std::wstring& url) {
    if (!browser_) return;
    Bstr address(url);
    VARIANT empty;
    VariantInit(&empty);
    browser_->Navigate(address.get(), &empty, &empty, &empty, &empty);
}

void WebBrowserEngine::Focus() {
    // UI activation is how an in-place object takes the focus into its page.
    if (object_) object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site_.Get(), 0, container_, &rect_);
}

void WebBrowserEngine::Place(int left, int top, int width, int height) {
    rect_ = {left, top, left + width, top + height};
    if (site_) site_->SetRect(rect_);
    ComPtr<IOleInPlaceObject> inPlace;
    if (object_ && SUCCEEDED(object_.As(&inPlace))) inPlace->SetObjectRects(&rect_, &rect_);
}

ComPtr<IHTMLDocument2> WebBrowserEngine::Document() {
    ComPtr<IDispatch> dispatch;
    ComPtr<IHTMLDocument2> document;
    // Without a document the call answers S_FALSE and no object.
    if (browser_ && browser_->get_Document(&dispatch) == S_OK && dispatch) dispatch.As(&document);
    return document;
}

ComPtr<IHTMLElement> WebBrowserEngine::DocumentElement() {
    ComPtr<IHTMLDocument3> document;
    ComPtr<IHTMLElement> element;
    if (auto doc2 = Document(); doc2 && SUCCEEDED(doc2.As(&document)))
        document->get_documentElement(&element);
    return element;
}

std::wstring WebBrowserEngine::DocumentUrl() {
    Bstr url;
    if (auto document = Document()) document->get_URL(url.put());
    return url.str();
}

long long WebBrowserEngine::DocumentInnerHtmlLength() {
    Bstr html;
    if (auto element = DocumentElement()) element->get_innerHTML(html.put());
    return html.get() ? SysStringLen(html.get()) : 0;
}

void WebBrowserEngine::SetDocumentOverflowHidden() {
    ComPtr<IHTMLStyle> style;
    if (auto element = DocumentElement();
        element && SUCCEEDED(element->get_style(&style)) && style) {
        Bstr hidden(L"hidden");
        style->put_overflow(hidden.get());
    }
}

} // namespace

std::unique_ptr<Browser> CreateWebBrowser(HWND container) {
    auto engine = std::make_unique<WebBrowserEngine>(container);
    if (!engine->Start()) {
        LogError(L"the WebBrowser control cannot be created");
        return nullptr;
    }
    return engine;
}

std::span<const BrowserFeatureControl> BrowserFeatureControls() {
    // The current standards mode rather than the legacy one, and the
    // protections the stand-alone browser turns on for itself but not for a
    // program that hosts the control.
    static constexpr BrowserFeatureControl kControls[] = {
        {L"FEATURE_BROWSER_EMULATION", 11001}, {L"FEATURE_LOCALMACHINE_LOCKDOWN", 1},
        {L"FEATURE_ZONE_ELEVATION", 1},        {L"FEATURE_RESTRICT_ACTIVEXINSTALL", 1},
        {L"FEATURE_RESTRICT_FILEDOWNLOAD", 1}, {L"FEATURE_WINDOW_RESTRICTIONS", 1},
        {L"FEATURE_WEBOC_POPUPMANAGEMENT", 1}, {L"FEATURE_MIME_HANDLING", 1},
        {L"FEATURE_MIME_SNIFFING", 1},         {L"FEATURE_OBJECT_CACHING", 1},
        {L"FEATURE_PROTOCOL_LOCKDOWN", 1},     {L"FEATURE_SAFE_BINDTOOBJECT", 1},
        {L"FEATURE_UNC_SAVEDFILECHECK", 1},    {L"FEATURE_VALIDATE_NAVIGATE_URL", 1},
        {L"FEATURE_DISABLE_MK_PROTOCOL", 1},   {L"FEATURE_HTTP_USERNAME_PASSWORD_DISABLE", 1},
    };
    return kControls;
}

void WriteBrowserFeatureControls(const std::wstring& exeName) {
    for (const BrowserFeatureControl& control : BrowserFeatureControls()) {
        HKEY raw = nullptr;
        const std::wstring key = std::wstring(kFeatureControlKey) + L"\\" + control.name;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &raw, nullptr) != ERROR_SUCCESS)
            continue;
        UniqueRegKey opened(raw);
        RegSetValueExW(opened.get(), exeName.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&control.value), sizeof control.value);
    }
}

void UseBrowserFeatureControls() {
    const std::wstring exe = ProgramPath();
    WriteBrowserFeatureControls(exe.substr(exe.find_last_of(L"\\/") + 1));
}

} // namespace tessaly::win
