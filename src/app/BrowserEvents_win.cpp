#include "app/BrowserEvents_win.h"

#include <exdispid.h>
#include <wrl/client.h>

#include "app/LoginCommand.h"

namespace tessaly::win {
namespace {

using Microsoft::WRL::ComPtr;

// Event arguments arrive as BSTRs, or by reference to a BSTR or a VARIANT.
std::wstring TextArgument(const VARIANT& v) {
    if (v.vt == VT_BSTR && v.bstrVal) return std::wstring(v.bstrVal, SysStringLen(v.bstrVal));
    if (v.vt == (VT_BYREF | VT_BSTR) && v.pbstrVal && *v.pbstrVal)
        return std::wstring(*v.pbstrVal, SysStringLen(*v.pbstrVal));
    if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal) return TextArgument(*v.pvarVal);
    return {};
}

IUnknown* ObjectArgument(const VARIANT& v) {
    if (v.vt == VT_DISPATCH) return v.pdispVal;
    if (v.vt == (VT_BYREF | VT_DISPATCH) && v.ppdispVal) return *v.ppdispVal;
    if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal) return ObjectArgument(*v.pvarVal);
    return nullptr;
}

// COM identity: the same object answers IUnknown with the same pointer.
bool SameObject(IUnknown* a, IUnknown* b) {
    ComPtr<IUnknown> ua, ub;
    if (!a || !b || FAILED(a->QueryInterface(IID_PPV_ARGS(&ua))) ||
        FAILED(b->QueryInterface(IID_PPV_ARGS(&ub))))
        return false;
    return ua.Get() == ub.Get();
}

VARIANT_BOOL* CancelArgument(const VARIANT& v) {
    return v.vt == (VT_BYREF | VT_BOOL) ? v.pboolVal : nullptr;
}

void Cancel(const VARIANT& v) {
    if (VARIANT_BOOL* cancel = CancelArgument(v)) *cancel = VARIANT_TRUE;
}

} // namespace

void RaiseBrowserEvent(Browser& browser, IUnknown* control, DISPID id, DISPPARAMS& params) {
    VARIANTARG* args = params.rgvarg;
    const UINT count = args ? params.cArgs : 0;
    switch (id) {
    case DISPID_DOWNLOADBEGIN:
        browser.DownloadBegin.Raise();
        break;
    case DISPID_TITLECHANGE: // Text
        if (count >= 1) browser.TitleChange.Raise(TextArgument(args[0]));
        break;
    case DISPID_BEFORENAVIGATE2: // pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel
        if (VARIANT_BOOL* cancelOut = count >= 7 ? CancelArgument(args[0]) : nullptr) {
            const std::wstring url = TextArgument(args[5]);
            bool cancel = *cancelOut != VARIANT_FALSE;
            browser.BeforeNavigate2.Raise(url, SameObject(ObjectArgument(args[6]), control),
                                          cancel);
            *cancelOut = cancel || IsAppAddress(url) ? VARIANT_TRUE : VARIANT_FALSE;
        }
        break;
    case DISPID_DOCUMENTCOMPLETE: // pDisp, URL
        if (count >= 2) browser.DocumentComplete.Raise(TextArgument(args[0]));
        break;
    case DISPID_NAVIGATEERROR: // pDisp, URL, Frame, StatusCode, Cancel
        if (count >= 5)
            browser.NavigateError.Raise(TextArgument(args[3]),
                                        SameObject(ObjectArgument(args[4]), control));
        break;
    case DISPID_NEWWINDOW2: // ppDisp, Cancel
        if (count >= 2) Cancel(args[0]);
        break;
    case DISPID_NEWWINDOW3: // ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl
        if (count >= 5) {
            Cancel(args[3]);
            browser.NewWindow3.Raise(TextArgument(args[0]));
        }
        break;
    default:
        break;
    }
}

} // namespace tessaly::win
