#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <mshtmhst.h>
#include <ole2.h>
#include <wrl/client.h>

#include "app/WebBrowserEngine_win.h"

#include "base/ErrorLog.h"
#include "base/Handles_win.h"
#include "base/IniFile_win.h"
#include "base/MessageFilter_win.h"

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

// Event arguments arrive as BSTRs, or by reference to a BSTR or a VARIANT.
std::wstring TextArgument(const VARIANT& v) {
    if (v.vt == VT_BSTR && v.bstrVal) return std::wstring(v.bstrVal, SysStringLen(v.bstrVal));
    if (v.vt == (VT_BYREF | VT_BSTR) && v.pbstrVal && *v.pbstrVal)
        return std::wstring(*v.pbstrVal, SysStringLen(*v.pbstrVal));
    if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal) return TextArgument(*v.pvarVal);
    return {};
}

bool SameObject(IUnknown* a, IUnknown* b) {
    ComPtr<IUnknown> ua, ub;
    if (!a || !b || FAILED(a->QueryInterface(IID_PPV_ARGS(&ua))) ||
        FAILED(b->QueryInterface(IID_PPV_ARGS(&ub))))
        return false;
    return ua.Get() == ub.Get();
}

IUnknown* ObjectArgument(const VARIANT& v) {
    if (v.vt == VT_DISPATCH) return v.pdispVal;
    if (v.vt == (VT_BYREF | VT_DISPATCH) && v.ppdispVal) return *v.ppdispVal;
    return nullptr;
}

// The container side of the control: client site, in-place site and frame,
// and the UI handler through which the page's context menu is suppressed.
class Site final : public IOleClientSite,
                   public IOleInPlaceSite,
                   public IOleInPlaceFrame,
                   public IDocHostUIHandler {
public:
    explicit Site(HWND container)
        : container_(container) {}
    void SetRect(const RECT& rect) { rect_ = rect; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
            *out = static_cast<IOleInPlaceFrame*>(this);
        else if (riid == IID_IDocHostUIHandler)
            *out = static_cast<IDocHostUIHandler*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    // IOleWindow (shared by the site and the frame)
    STDMETHODIMP GetWindow(HWND* window) override {
        *window = container_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
        *frame = this;
        AddRef();
        *document = nullptr;
        *position = rect_;
        *clip = rect_;
        info->fMDIApp = FALSE;
        info->hwndFrame = GetAncestor(container_, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return E_NOTIMPL; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDocHostUIHandler
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
        return S_OK; // handled: the page never shows a context menu
    }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override {
        info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER;
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        return S_OK;
    }
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_FALSE;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        *key = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override {
        *target = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetExternal(IDispatch** external) override {
        *external = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
        *out = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override {
        *out = nullptr;
        return S_FALSE;
    }

private:
    ~Site() = default;
    std::atomic<ULONG> refs_{1};
    HWND container_;
    RECT rect_{};
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
    std::wstring DocumentUrl() override;
    long long DocumentInnerHtmlLength() override;
    void SetDocumentOverflowHidden() override;
    void Place(int left, int top, int width, int height) override;

    void Dispatch(DISPID id, DISPPARAMS* params);

private:
    ComPtr<IHTMLDocument2> Document();
    ComPtr<IHTMLElement> DocumentElement();

    HWND container_;
    RECT rect_{};
    // The page's keys (Tab between fields, Ctrl+C and Ctrl+V, Backspace)
    // reach the control only through this, from every message loop.
    MessageFilter accelerators_;
    ComPtr<Site> site_;
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
        engine_->Dispatch(id, params);
    } catch (...) {
        LogCurrentException(L"browser event " + std::to_wstring(id));
    }
    return S_OK;
}

bool WebBrowserEngine::Start() {
    site_.Attach(new Site(container_)); // born with its one reference
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
    if (SUCCEEDED(object_.As(&active))) {
        accelerators_ = MessageFilter(
            container_, [active](MSG& msg) { return active->TranslateAccelerator(&msg) == S_OK; });
    }

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

void WebBrowserEngine::Dispatch(DISPID id, DISPPARAMS* params) {
    VARIANTARG* args = params->rgvarg; // in reverse order of the event's declaration
    const UINT count = params->cArgs;
    switch (id) {
    case DISPID_DOWNLOADBEGIN:
        DownloadBegin.Raise();
        break;
    case DISPID_TITLECHANGE:
        if (count >= 1) TitleChange.Raise(TextArgument(args[0]));
        break;
    case DISPID_BEFORENAVIGATE2:
        if (count >= 7 && args[0].vt == (VT_BYREF | VT_BOOL) && args[0].pboolVal) {
            bool cancel = *args[0].pboolVal != VARIANT_FALSE;
            BeforeNavigate2.Raise(TextArgument(args[5]), cancel);
            *args[0].pboolVal = cancel ? VARIANT_TRUE : VARIANT_FALSE;
        }
        break;
    case DISPID_DOCUMENTCOMPLETE:
        if (count >= 2) DocumentComplete.Raise(TextArgument(args[0]));
        break;
    case DISPID_NAVIGATEERROR:
        if (count >= 5)
            NavigateError.Raise(TextArgument(args[3]),
                                SameObject(ObjectArgument(args[4]), browser_.Get()));
        break;
    default:
        break;
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

void UseCurrentBrowserEmulation() {
    std::wstring exe = ProgramPath();
    exe = exe.substr(exe.find_last_of(L"\\/") + 1);
    HKEY raw = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER,
                        L"Software\\Microsoft\\Internet "
                        L"Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION",
                        0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return;
    UniqueRegKey key(raw);
    const DWORD mode = 11001; // the engine's current standards mode
    RegSetValueExW(key.get(), exe.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mode),
                   sizeof mode);
}

} // namespace tessaly::win
