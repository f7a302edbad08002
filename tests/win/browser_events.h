// Browser events fired into a control site's sink as the browser fires them, for cases a control
// without an HTML engine cannot make (a frame's navigation, a page's new window). Header only.
#pragma once
#include <windows.h>
#include <exdispid.h>

#include "fw/browser_host_win.h"

namespace wintest {

// DWebBrowserEvents2 arguments in the browser's (reverse) order: each a VARIANT reference.
struct EventArgs {
    explicit EventArgs(UINT count) : n(count) {
        for (UINT i = 0; i < n; ++i) {
            VariantInit(&values[i]);
            args[i].vt = VT_BYREF | VT_VARIANT;
            args[i].pvarVal = &values[i];
        }
    }
    ~EventArgs() {
        for (UINT i = 0; i < n; ++i)
            VariantClear(&values[i]);
    }
    void Text(UINT at, const wchar_t* text) {
        values[at].vt = VT_BSTR;
        values[at].bstrVal = SysAllocString(text);
    }
    // Fires the event with a cancel flag at `cancelAt`; answers the flag as the sink left it.
    bool Fire(fw::CBrowserControlSite* site, DISPID id, UINT cancelAt, bool cancelIn = false) {
        VARIANT_BOOL cancel = cancelIn ? VARIANT_TRUE : VARIANT_FALSE;
        args[cancelAt].vt = VT_BYREF | VT_BOOL;
        args[cancelAt].pboolVal = &cancel;
        DISPPARAMS params{args, nullptr, n, 0};
        site->EventSink()->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        return cancel != VARIANT_FALSE;
    }
    UINT n;
    VARIANT values[7], args[7];
};

// Before-navigate of url in frame (the control's own browser object for the top-level document).
inline bool FireBeforeNavigate(fw::CBrowserControlSite* site, IDispatch* frame, const wchar_t* url,
                               bool cancelIn = false) {
    EventArgs e(7);
    e.args[6].vt = VT_DISPATCH;
    e.args[6].pdispVal = frame;
    e.Text(5, url);
    return e.Fire(site, DISPID_BEFORENAVIGATE2, 0, cancelIn);
}

// A page's new window for url (NewWindow3, or NewWindow2 without an address).
inline bool FireNewWindow(fw::CBrowserControlSite* site, const wchar_t* url) {
    EventArgs e(url ? 5 : 2);
    if (url) e.Text(0, url);
    return e.Fire(site, url ? DISPID_NEWWINDOW3 : DISPID_NEWWINDOW2, url ? 3 : 0);
}

} // namespace wintest
