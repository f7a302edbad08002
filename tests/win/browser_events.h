// Browser events fired into a control site's sink as the browser fires them (arguments in
// reverse order), for what a control without an HTML engine cannot make: a frame's navigation,
// a page's new window. Header only.
#pragma once
#include <windows.h>
#include <exdispid.h>

#include "fw/browser_host_win.h"

namespace wintest {

// Event id with count arguments: text at textAt, the cancel flag at cancelAt, the event's browser
// object at 6 (when given), empty elsewhere. Answers the flag as the sink left it.
inline bool InvokeEvent(fw::CBrowserControlSite* site, DISPID id, UINT count, UINT cancelAt, UINT textAt,
                        const wchar_t* text, IDispatch* frame = nullptr, bool cancelIn = false) {
    VARIANT_BOOL cancel = cancelIn ? VARIANT_TRUE : VARIANT_FALSE;
    VARIANT args[7] = {};
    args[textAt].vt = VT_BSTR;
    args[textAt].bstrVal = SysAllocString(text);
    if (frame) {
        args[6].vt = VT_DISPATCH;
        args[6].pdispVal = frame;
    }
    args[cancelAt].vt = VT_BYREF | VT_BOOL;
    args[cancelAt].pboolVal = &cancel;
    DISPPARAMS params{args, nullptr, count, 0};
    site->EventSink()->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    SysFreeString(args[textAt].bstrVal);
    return cancel != VARIANT_FALSE;
}

// Before-navigate of url in frame (the control's own browser object for the top-level document).
inline bool InvokeBeforeNavigate(fw::CBrowserControlSite* site, IDispatch* frame, const wchar_t* url,
                                 bool cancelIn = false) {
    return InvokeEvent(site, DISPID_BEFORENAVIGATE2, 7, 0, 5, url, frame, cancelIn);
}

// A page's new window for url (NewWindow3), or without an address (NewWindow2).
inline bool InvokeNewWindow(fw::CBrowserControlSite* site, const wchar_t* url) {
    return url ? InvokeEvent(site, DISPID_NEWWINDOW3, 5, 3, 0, url)
               : InvokeEvent(site, DISPID_NEWWINDOW2, 2, 0, 1, L"");
}

} // namespace wintest
